#include "TelLoadCheck.h"

#include "BookEditor.h"
#include "CodePage.h"
#include "DeviceBookFile.h"
#include "HeadlessView.h"
#include "Messages.h"
#include "NameCollation.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <vector>

namespace orvalen::fuzz {
namespace {

namespace fs = std::filesystem;
using testing::CHeadlessView;
using testing::MakeForm;
using testing::RecordedMessage;

constexpr std::size_t kHeader = 512;
constexpr std::size_t kRecord = 128;
constexpr std::size_t kFullSize = 26112;
constexpr std::array<std::size_t, kFieldCount> kOffset = {0, 16, 32, 64, 96, 112};

using Contact = std::array<std::string, kFieldCount>; // the slots' bytes, as Save writes them

// Everything a user or a later command could see of the phone book.
struct Snapshot {
    std::vector<std::string> entries;
    int selection = -1;
    std::vector<Contact> slots;
    std::vector<std::string> names;
    ContactForm fields;
    int countShown = -1;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot Take(const CBookEditor& editor, const CHeadlessView& view) {
    Snapshot snapshot;
    const CNameList& list = editor.List();
    for (int p = 0; p < list.GetCount(); ++p)
        snapshot.entries.push_back(list.GetText(p));
    snapshot.selection = list.GetCurSel();
    const CContactTable& table = editor.Table();
    for (int i = 0; i < table.Count(); ++i) {
        Contact contact;
        for (ContactField field : kAllFields)
            contact[FieldIndex(field)] = std::string(table.SlotBytes(i, field));
        snapshot.slots.push_back(contact);
        snapshot.names.emplace_back(table.Text(i, ContactField::name));
    }
    snapshot.fields = view.typed;
    snapshot.countShown = view.shownCount;
    return snapshot;
}

// The table index each list entry stands for, worked out here: the k-th entry named T is the
// k-th contact named T. Linear, where asking FindListed for every entry is quadratic.
std::vector<int> Pairing(const CBookEditor& editor) {
    std::map<std::string, std::vector<int>, std::less<>> byName;
    for (int i = 0; i < editor.Table().Count(); ++i)
        byName[std::string(editor.Table().Text(i, ContactField::name))].push_back(i);
    std::map<std::string, std::size_t, std::less<>> seen;
    std::vector<int> pairing;
    for (int p = 0; p < editor.List().GetCount(); ++p) {
        const std::string name = editor.List().GetText(p);
        const auto found = byName.find(name);
        const std::size_t k = seen[name]++;
        pairing.push_back(found != byName.end() && k < found->second.size() ? found->second[k]
                                                                            : CContactTable::kNone);
    }
    return pairing;
}

// The contacts in list order.
std::vector<Contact> Listed(const CBookEditor& editor) {
    std::vector<Contact> contacts;
    for (int index : Pairing(editor)) {
        Contact contact;
        for (ContactField field : kAllFields) {
            if (index != CContactTable::kNone)
                contact[FieldIndex(field)] = std::string(editor.Table().SlotBytes(index, field));
        }
        contacts.push_back(contact);
    }
    return contacts;
}

std::optional<std::string> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

// What the player's file format allows, checked apart from the loader.
bool IsTelFile(std::string_view bytes) {
    return bytes.size() >= 5 && bytes.substr(0, 4) == "\x55\xAA\x68\x68" &&
           bytes.size() % kRecord == 0 && bytes.size() >= kHeader + kRecord &&
           bytes.size() <= kFullSize;
}

std::string RecordField(std::string_view bytes, std::size_t record, ContactField field) {
    return std::string(
        bytes.substr(kHeader + kRecord * record + kOffset[FieldIndex(field)], MaxLength(field)));
}

class CSession {
public:
    explicit CSession(const CNameCollation& collation) : list(collation) {}

    CMemoryNameList list;
    CHeadlessView view;
    CBookEditor editor{list, view};

    std::vector<RecordedMessage> Run(void (*command)(CBookEditor&),
                                     std::optional<fs::path> chosen) {
        view.messages.clear();
        view.chosenFiles.clear();
        view.chosenFiles.push_back(std::move(chosen));
        command(editor);
        return view.messages;
    }
};

// Checks the file Save wrote against the contacts it had to write, built here byte by byte.
std::optional<std::string> CheckSaved(std::string_view saved, const std::vector<Contact>& listed) {
    std::string expected(kFullSize, '\0');
    expected.replace(0, 4, "\x55\xAA\x68\x68");
    expected[4] = static_cast<char>(listed.size());
    for (std::size_t p = 0; p < listed.size(); ++p) {
        for (ContactField field : kAllFields)
            expected.replace(kHeader + kRecord * p + kOffset[FieldIndex(field)], MaxLength(field),
                             listed[p][FieldIndex(field)]);
    }
    if (saved != expected)
        return "the saved file is not the header and the listed contacts' records";
    return std::nullopt;
}

} // namespace

std::optional<std::string> CheckTelLoad(std::string_view bytes, const fs::path& folder) {
    static const CNameCollation gbk(CCodePage("GBK"));
    static const CNameCollation utf8;
    const bool doubleByte = bytes.size() > 5 && (static_cast<unsigned char>(bytes[5]) & 1) != 0;

    // A phone book that a refused file must leave alone: case variants, a double-byte name,
    // a selection and text typed but not added.
    CSession session(doubleByte ? gbk : utf8);
    for (const char* name : {"Bo", "ann", "Ann", "\xB0\xA1", "Zed"}) {
        session.view.Type(MakeForm(name, "138", "0755", "a@b.c", "10001", "0755-2"));
        session.editor.Add();
    }
    session.list.SetCurSel(1);
    session.editor.ShowSelected();
    session.view.Type(MakeForm("typed", "not added"));
    const Snapshot before = Take(session.editor, session.view);

    const fs::path input = folder / "input.tel";
    if (!WriteFile(input, bytes))
        return std::nullopt; // the work folder is full: nothing to judge
    const auto messages = session.Run(&CDeviceBookFile::Load, input);

    if (!IsTelFile(bytes)) {
        const std::vector<RecordedMessage> refused = {
            {std::string(messages::kNotTelFile), MessageIcon::error, MessageButtons::ok}};
        if (messages != refused)
            return "a file that is not a .tel file was not refused with \"Not ZUM Tel file\"";
        if (Take(session.editor, session.view) != before)
            return "a refused file changed the phone book";
        return std::nullopt;
    }
    if (!messages.empty())
        return "a .tel file was refused: " + messages.front().text;

    // Accepted: the smaller of the count byte and the record places, in file order.
    const CContactTable& table = session.editor.Table();
    const CNameList& list = session.list;
    const int places = static_cast<int>((bytes.size() - kHeader) / kRecord);
    const int records = std::min(static_cast<int>(static_cast<unsigned char>(bytes[4])), places);
    if (table.Count() != records)
        return "the table does not hold the records the file has";
    if (list.GetCount() != table.Count())
        return "the list's count differs from the table's";
    for (int r = 0; r < records; ++r) {
        for (ContactField field : kAllFields) {
            if (table.SlotBytes(r, field) != RecordField(bytes, static_cast<std::size_t>(r), field))
                return "a table slot differs from the record it was read from";
        }
    }
    const std::vector<int> pairing = Pairing(session.editor);
    std::set<int> paired;
    for (int p = 0; p < list.GetCount(); ++p) {
        const std::string entry = list.GetText(p);
        if (table.Find(entry) == CContactTable::kNone)
            return "a listed name is not in the table";
        const int index = session.editor.FindListed(p);
        if (index == CContactTable::kNone || index != pairing[static_cast<std::size_t>(p)] ||
            !paired.insert(index).second)
            return "list entries do not each stand for a contact of their own";
        if (p > 0 && list.Collation().Compare(list.GetText(p - 1), entry) > 0)
            return "the list is not sorted";
    }
    if (records == 0) {
        if (list.GetCurSel() != -1 || session.view.typed != ContactForm{} ||
            session.view.shownCount != 0)
            return "an empty file did not leave an empty form and a count of 0";
        const auto saveMessages = session.Run(&CDeviceBookFile::Save, folder / "first.tel");
        if (saveMessages.size() != 1 || saveMessages.front().text != messages::kAddFirst)
            return "saving an empty phone book did not ask to add an item first";
        return std::nullopt;
    }
    if (list.GetCurSel() != records - 1)
        return "the last name in sorted order is not selected";
    const int shown = session.editor.FindListed(records - 1);
    for (ContactField field : kAllFields) {
        if (session.view.typed[field] != table.Text(shown, field))
            return "the form does not show the selected contact";
    }
    if (session.view.shownCount != records)
        return "the count display is not the number of records read";

    // Save what was loaded, load it back, save again.
    const std::vector<Contact> loaded = Listed(session.editor);
    const std::vector<std::string> entries = Take(session.editor, session.view).entries;
    const fs::path first = folder / "first.tel";
    const fs::path second = folder / "second.tel";
    if (!session.Run(&CDeviceBookFile::Save, first).empty())
        return "saving what was loaded showed a message";
    const auto firstBytes = ReadFile(first);
    if (!firstBytes)
        return "the saved file is missing";
    if (auto broken = CheckSaved(*firstBytes, loaded))
        return broken;
    if (!session.Run(&CDeviceBookFile::Load, first).empty())
        return "loading a saved file showed a message";
    if (Listed(session.editor) != loaded || Take(session.editor, session.view).entries != entries)
        return "loading the saved file gave other contacts";
    if (!session.Run(&CDeviceBookFile::Save, second).empty())
        return "saving again showed a message";
    if (ReadFile(second) != firstBytes)
        return "saving the reloaded phone book gave other bytes";
    return std::nullopt;
}

} // namespace orvalen::fuzz
