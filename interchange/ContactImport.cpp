#include "ContactImport.h"

#include "ContactReader.h"
#include "Messages.h"
#include "NoteWords.h"
#include "PhoneBookTransfer.h"
#include "SaveCommand.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace orvalen {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Ending(const std::filesystem::path& path) {
    return Lower(path.extension().string());
}

CStatus CheckContactsFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::status(path, error)) || error)
        return CStatus(StatusKind::notFound, path);
    return {};
}

// A loss in a contact the user should know of; the others are no loss to the user.
bool IsLoss(NoteKind kind) {
    return kind == NoteKind::valueLeftOut || kind == NoteKind::valueTooLong ||
           kind == NoteKind::nameCut || kind == NoteKind::controlRemoved ||
           kind == NoteKind::replaced || kind == NoteKind::extensionLeftOut;
}

} // namespace

CResult<ImportFile> ReadImportFile(const std::filesystem::path& path, const CCodePage& codePage,
                                   const CContactTable& book, ReadOptions options) {
    if (CStatus checked = CheckContactsFile(path); !checked.IsOk())
        return checked;
    // A file that names no set and is not UTF-8 is tried in the player's code page last.
    options.userCodePage = codePage.Name();
    InterchangeRead contacts = ReadContacts(path, options);
    if (contacts.IsRefused())
        return CStatus(contacts.status).WithPath(path);

    ImportFile file;
    file.encoding = contacts.encoding;
    file.guessed = contacts.guessed;
    file.first = contacts.first;
    file.read = contacts.contacts.size();
    file.total = contacts.total;
    file.rows.reserve(contacts.contacts.size());
    for (const InterchangeContact& contact : contacts.contacts) {
        CNotes notes;
        // A character the code page lacks becomes '?': the rest of the contact still enters.
        auto form = FitContact(contact, codePage, true, notes);
        if (!form || (*form)[ContactField::name].empty())
            continue;
        ImportRow row;
        row.form = std::move(*form);
        for (const InterchangeNote& note : notes.Examples()) {
            if (IsLoss(note.kind))
                row.notes.push_back(note);
        }
        row.known = book.Find(row.form[ContactField::name]) != CContactTable::kNone;
        file.rows.push_back(std::move(row));
    }
    return file;
}

int PlacesNeeded(std::span<const ImportRow> rows, const std::vector<bool>& ticked,
                 RepeatedNames repeated) {
    if (repeated == RepeatedNames::addAsWell)
        return static_cast<int>(std::count(ticked.begin(), ticked.end(), true));
    std::set<std::string_view> entered;
    int places = 0;
    for (std::size_t r = 0; r < rows.size() && r < ticked.size(); ++r) {
        if (ticked[r] && !rows[r].known && entered.insert(rows[r].form[ContactField::name]).second)
            ++places;
    }
    return places;
}

std::vector<bool> TicksWhileRoom(std::span<const ImportRow> rows, int room) {
    std::vector<bool> ticked(rows.size(), false);
    std::set<std::string_view> entered;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::string_view name = rows[r].form[ContactField::name];
        const bool needsPlace = !rows[r].known && !entered.contains(name);
        if (needsPlace && room <= 0)
            continue;
        ticked[r] = true;
        if (needsPlace) {
            entered.insert(name);
            --room;
        }
    }
    return ticked;
}

CResult<std::string> ExportBytes(const CBookEditor& editor, const CCodePage& codePage,
                                 const std::filesystem::path& path) {
    const ExtractOutcome extracted = ExtractPhoneBook(editor, codePage);
    if (!extracted.status)
        return CStatus(extracted.status).WithPath(path);
    return WriteContacts(extracted.contacts,
                         Ending(path) == ".csv" ? ContactFormat::csv : ContactFormat::vcard);
}

bool IsContactsFile(const std::filesystem::path& path) {
    const std::string ending = Ending(path);
    return ending == ".vcf" || ending == ".vcard" || ending == ".csv";
}

bool IsPhoneBookFile(const std::filesystem::path& path) {
    return Ending(path) == ".tel";
}

void ExportContacts(CBookEditor& editor, const CCodePage& codePage, std::string_view filter) {
    if (editor.Table().Count() == 0) {
        editor.View().ShowMessage(messages::kAddFirst, MessageIcon::warning, MessageButtons::ok);
        return;
    }
    const auto path = editor.View().ChooseFile(FileMode::save, "Tel_Save.vcf", filter);
    if (!path)
        return;
    SaveBytes(editor, *path, ExportBytes(editor, codePage, *path));
}

} // namespace orvalen
