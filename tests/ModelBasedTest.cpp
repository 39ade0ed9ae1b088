// Random command sequences run against the editor and the file commands and, side by side,
// against a small reference model of the phone book. After every command each visible result
// (messages, choosers, edit fields, count display, list, selection, files on disk, whether the
// book counts as modified) and the table behind them must match the model. Undo and redo are
// commands too: the model keeps whole copies of its state. A failing sequence is shrunk and printed
// with its seed.
//
// The model keeps its own notion of identity: every contact gets an id when it enters the
// table, list entries carry that id, and the ids move with the contacts. The code instead pairs
// the k-th entry named T with the k-th contact named T; the two must agree.
//
// ORVALEN_MODEL_SEED and ORVALEN_MODEL_SEQUENCES override the base seed and the number of
// sequences, so a failure printed by CI can be rerun alone.

#include "BookEditor.h"
#include "CodePage.h"
#include "DeviceBookFile.h"
#include "HeadlessView.h"
#include "NameCollation.h"
#include "TextReport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace orvalen {
namespace {

using testing::CHeadlessView;
using testing::RecordedMessage;

// ---------------------------------------------------------------------------------------------
// Commands

enum class Op { type, add, select, remove, clear, save, saveAs, load, undo, redo, import };

// Where a file chooser points.
enum class Target { cancel, normal, missingFolder, folder, missingFile, crafted };

struct Command {
    Op op = Op::add;
    bool typeFirst = false;                         // add: type `form` before pressing "Add >>"
    ContactForm form;                               // type, add
    bool answerOk = true;                           // add: the answer to "Name repeat!"
    unsigned pick = 0;                              // select: entry pick % count
    Target target = Target::normal;                 // save, saveAs, load
    std::string crafted;                            // load from Target::crafted: the file's bytes
    std::vector<ContactForm> imported;              // import: the contacts chosen
    RepeatedNames repeated = RepeatedNames::update; // import: for names already there
};

std::string Printable(std::string_view bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\"";
}

std::string TargetName(Target target) {
    switch (target) {
    case Target::cancel:
        return "cancelled";
    case Target::normal:
        return "the usual file";
    case Target::missingFolder:
        return "a file in a missing folder";
    case Target::folder:
        return "a folder";
    case Target::missingFile:
        return "a missing file";
    case Target::crafted:
        break;
    }
    return "a crafted file";
}

std::string Describe(const Command& command) {
    std::ostringstream out;
    switch (command.op) {
    case Op::type:
    case Op::add:
        if (command.op == Op::type || command.typeFirst) {
            out << "Type {";
            for (std::size_t f = 0; f < kFieldCount; ++f)
                out << (f ? ", " : "") << Printable(command.form.texts[f]);
            out << "}";
        }
        if (command.op == Op::add)
            out << (command.typeFirst ? ", " : "") << "Add (answer "
                << (command.answerOk ? "OK" : "Cancel") << ")";
        break;
    case Op::select:
        out << "Select entry " << command.pick << " % count, ShowSelected";
        break;
    case Op::import:
        out << "Import {";
        for (std::size_t c = 0; c < command.imported.size(); ++c)
            out << (c ? ", " : "") << Printable(command.imported[c][ContactField::name]) << " "
                << Printable(command.imported[c][ContactField::mobile]);
        out << "} repeated names "
            << (command.repeated == RepeatedNames::merge    ? "merged"
                : command.repeated == RepeatedNames::update ? "updated"
                : command.repeated == RepeatedNames::skip   ? "skipped"
                                                            : "added as well");
        break;
    case Op::remove:
        out << "Delete";
        break;
    case Op::clear:
        out << "Clear";
        break;
    case Op::undo:
        out << "Undo";
        break;
    case Op::redo:
        out << "Redo";
        break;
    case Op::save:
        out << "Save to " << TargetName(command.target);
        break;
    case Op::saveAs:
        out << "Save As to " << TargetName(command.target);
        break;
    case Op::load:
        out << "Load " << TargetName(command.target);
        if (command.target == Target::crafted) {
            out << " of " << command.crafted.size()
                << " bytes: " << Printable(command.crafted.substr(0, 5)) << "...";
        }
        break;
    }
    return out.str();
}

// ---------------------------------------------------------------------------------------------
// Random sequences

class CGenerator {
public:
    explicit CGenerator(std::uint64_t seed) : m_random(seed) {}

    std::vector<Command> Sequence() {
        std::vector<Command> commands(Below(40) + 1);
        for (Command& command : commands)
            command = Next();
        return commands;
    }

private:
    unsigned Below(unsigned bound) { return static_cast<unsigned>(m_random() % bound); }
    bool Chance(unsigned percent) { return Below(100) < percent; }

    template <std::size_t N> std::string_view Pick(const std::array<std::string_view, N>& from) {
        return from[Below(N)];
    }

    // Short names from a few pieces, so that repeats, case variants and shared prefixes are
    // common. The double-byte pieces are GBK: B0A1 and C4E3 are characters, B041/B061 have an
    // ASCII letter as their second byte, which folding must leave alone.
    std::string Name() {
        static constexpr std::array<std::string_view, 16> kPieces = {
            "a", "A",  "b",   "B",        "ab",       "Ab",       "aB",       "AB",
            " ", "  ", "a b", "\xB0\xA1", "\xB0\x41", "\xB0\x61", "\xC4\xE3", "\x81\x40"};
        static constexpr std::array<std::string_view, 4> kLongest = {
            "abcdefghijklmnop", "ABCDEFGHIJKLMNOP",
            "\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0"
            "\xA1\xB0\xA1\xB0\xA1",
            "               a"};
        if (Chance(4))
            return std::string(Pick(kLongest));
        std::string name;
        const unsigned pieces = Below(3) + 1;
        for (unsigned i = 0; i < pieces; ++i) {
            const std::string_view piece = Pick(kPieces);
            if (name.size() + piece.size() <= MaxLength(ContactField::name))
                name += piece;
        }
        return name;
    }

    // Details of every length up to the field's maximum, so that shorter texts go where longer
    // ones were.
    std::string Detail(ContactField field) {
        static constexpr std::array<std::string_view, 8> kDetails = {
            "",
            "1",
            "13800138000",
            "0755-1234567",
            "x@y.cn",
            "\xC4\xE3\xBA\xC3",
            "0123456789012345",
            "abcdefghijklmnopqrstuvwxyz@ab.cd"};
        std::string detail(Pick(kDetails));
        if (detail.size() > MaxLength(field))
            detail.resize(MaxLength(field));
        return detail;
    }

    // What a view may hand in beyond what the window lets through: a NUL inside, U+FFFD as
    // UTF-8, bytes no code page reads, a lone lead byte; often longer than the field, so that
    // the limit falls inside a double-byte character or a UTF-8 sequence.
    std::string OddText(ContactField field) {
        static constexpr std::array<std::string_view, 6> kOdd = {std::string_view("Ann\0Lee", 7),
                                                                 "\xEF\xBF\xBD\xEF\xBF\xBD",
                                                                 "\xFF\xFE",
                                                                 "\xB0",
                                                                 std::string_view("\0x", 2),
                                                                 "a\xEF\xBF\xBD"};
        static constexpr std::array<std::string_view, 4> kFiller = {"\xB0\xA1", "ab",
                                                                    "\xEF\xBF\xBD", "x"};
        std::string text(Pick(kOdd));
        if (Chance(60)) {
            const std::size_t length = MaxLength(field) + Below(8);
            while (text.size() <= length)
                text += Pick(kFiller);
        }
        return text;
    }

    ContactForm Form() {
        ContactForm form;
        for (ContactField field : kAllFields) {
            if (Chance(8))
                form[field] = OddText(field);
            else if (field == ContactField::name)
                form[field] = Chance(5) ? std::string() : Name();
            else
                form[field] = Detail(field);
        }
        return form;
    }

    // A .tel file the player might have written, or something else: valid sizes mostly,
    // records drawn like typed names, bytes left after terminators, 16-byte names without one.
    std::string CraftedFile() {
        std::size_t size;
        const unsigned shape = Below(20);
        if (shape == 0)
            size = Below(700);
        else if (shape == 1)
            size = 640 + Below(26112 - 640);
        else if (shape == 2)
            size = 26112 + 128;
        else if (shape < 7)
            size = 26112;
        else
            size = 512 + 128 * (Below(200) + 1);
        std::string bytes(size, '\0');
        const char signature[] = {'\x55', '\xAA', '\x68', '\x68'};
        for (std::size_t i = 0; i < 4 && i < size; ++i)
            bytes[i] = signature[i];
        if (Chance(5) && size > 0)
            bytes[Below(static_cast<unsigned>(std::min<std::size_t>(size, 4)))] ^= 0x01;
        const int places = size >= 512 ? static_cast<int>((size - 512) / 128) : 0;
        if (size > 4) {
            const unsigned countShape = Below(6);
            unsigned count = countShape == 0   ? 0
                             : countShape == 1 ? 255
                             : countShape == 2 ? static_cast<unsigned>(places)
                                               : Below(static_cast<unsigned>(places) + 1);
            bytes[4] = static_cast<char>(std::min(count, 255u));
        }
        for (int r = 0; r < places; ++r) {
            std::size_t offset = 512 + 128 * static_cast<std::size_t>(r);
            for (ContactField field : kAllFields) {
                const std::size_t width = MaxLength(field);
                std::string text = field == ContactField::name ? Name() : Detail(field);
                if (Chance(10))
                    text.clear();
                for (std::size_t i = 0; i < width; ++i) {
                    if (i < text.size())
                        bytes[offset + i] = text[i];
                    else if (i > text.size() && Chance(15))
                        bytes[offset + i] = static_cast<char>('A' + Below(60));
                }
                offset += width;
            }
        }
        return bytes;
    }

    Target FileTarget(bool forLoad) {
        const unsigned roll = Below(100);
        if (roll < 8)
            return Target::cancel;
        if (roll < 13)
            return Target::missingFolder;
        if (roll < 18)
            return Target::folder;
        if (forLoad && roll < 23)
            return Target::missingFile;
        if (forLoad && roll < 50)
            return Target::crafted;
        return Target::normal;
    }

    Command Next() {
        Command command;
        if (Chance(16)) {
            command.op = Chance(50) ? Op::undo : Op::redo;
            return command;
        }
        if (Chance(6)) {
            command.op = Op::import;
            for (unsigned n = 1 + Below(4); n > 0; --n)
                command.imported.push_back(Form());
            command.repeated = static_cast<RepeatedNames>(Below(4));
            return command;
        }
        const unsigned roll = Below(100);
        if (roll < 5) {
            command.op = Op::type;
            command.form = Form();
        } else if (roll < 42) {
            command.op = Op::add;
            command.typeFirst = Chance(85);
            command.form = Form();
            command.answerOk = Chance(60);
        } else if (roll < 57) {
            command.op = Op::select;
            command.pick = Below(256);
        } else if (roll < 69) {
            command.op = Op::remove;
        } else if (roll < 72) {
            command.op = Op::clear;
        } else if (roll < 82) {
            command.op = Op::save;
            command.target = FileTarget(false);
        } else if (roll < 87) {
            command.op = Op::saveAs;
            command.target = FileTarget(false);
        } else {
            command.op = Op::load;
            command.target = FileTarget(true);
            if (command.target == Target::crafted)
                command.crafted = CraftedFile();
        }
        return command;
    }

    std::mt19937_64 m_random;
};

// ---------------------------------------------------------------------------------------------
// The reference model

constexpr std::string_view kTelFilter = "ZUM orvalen file(*.tel)|*.tel|";
constexpr std::string_view kTxtFilter = "ZUM orvalen file(*.txt)|*.txt|";
constexpr std::string_view kSaveFailed = "Error!!, Plz Tell ZUM Tovrin ...";

// Byte offsets of the fields in a 128-byte record, and their widths.
constexpr std::array<std::size_t, kFieldCount> kRecordOffset = {0, 16, 32, 64, 96, 112};
constexpr std::array<std::size_t, kFieldCount> kRecordWidth = {16, 16, 32, 32, 16, 16};

struct ExpectedChooser {
    FileMode mode;
    std::string defaultName;
    std::string filter;
    friend bool operator==(const ExpectedChooser&, const ExpectedChooser&) = default;
};

class CModel {
public:
    explicit CModel(bool doubleByte) : m_doubleByte(doubleByte) {
        for (auto& slot : m_slots) {
            for (std::size_t f = 0; f < kFieldCount; ++f)
                slot[f] = std::string(kRecordWidth[f] + 1, '\0');
        }
    }

    struct Entry {
        std::string name;
        int id;
    };

    // What the window shows and what the files hold.
    ContactForm fields;
    int countShown = -1;
    int selection = -1;
    std::vector<Entry> list;
    std::optional<std::string> bookFile;
    std::optional<std::string> reportFile;
    std::vector<RecordedMessage> messages;
    std::vector<ExpectedChooser> choosers;

    int Count() const { return m_count; }
    std::string SlotText(int slot, std::size_t field) const {
        const std::string& bytes = m_slots[static_cast<std::size_t>(slot)][field];
        return bytes.substr(0, bytes.find('\0'));
    }
    std::string SlotBytes(int slot, std::size_t field) const {
        return m_slots[static_cast<std::size_t>(slot)][field].substr(0, kRecordWidth[field]);
    }
    int SlotOf(int id) const {
        const auto it = std::find(m_ids.begin(), m_ids.end(), id);
        return it == m_ids.end() ? -1 : static_cast<int>(it - m_ids.begin());
    }

    // The contacts' texts in list order differ from those of the book last saved or loaded.
    bool Modified() const { return Listed() != m_saved; }

    void BeginCommand() {
        messages.clear();
        choosers.clear();
    }

    // Undo goes back to the state before the last command that changed the book, redo forward
    // to the state undo left; at most 100 steps back, and a new command forgets the way forward.
    void Undo() { Step(m_undo, m_redo); }
    void Redo() { Step(m_redo, m_undo); }

    void Type(const ContactForm& form) { fields = form; }

    void Add(bool answerOk) {
        // What a field stores of a text: up to a NUL, and whole characters within the limit.
        ContactForm stored = fields;
        for (std::size_t f = 0; f < kFieldCount; ++f)
            stored.texts[f] = Stored(fields.texts[f], kRecordWidth[f]);
        const std::string name = stored[ContactField::name];
        if (name.empty()) {
            Message("Please input person name !!", MessageIcon::warning);
            return;
        }
        for (int slot = 0; slot < m_count; ++slot) {
            if (SlotText(slot, 0) == name) {
                Message("Name repeat! Do you change it ?", MessageIcon::warning,
                        MessageButtons::okCancel);
                if (answerOk) {
                    Remember();
                    for (std::size_t f = 1; f < kFieldCount; ++f)
                        Store(slot, f, stored.texts[f]);
                }
                return;
            }
        }
        if (m_count >= 200) {
            Message("The Tel Name Overflow !!", MessageIcon::warning);
            return;
        }
        Remember();
        for (std::size_t f = 0; f < kFieldCount; ++f)
            Store(m_count, f, stored.texts[f]);
        const int id = m_nextId++;
        m_ids.push_back(id);
        ++m_count;
        selection = Insert(name, id);
        fields = stored;
        countShown = m_count;
    }

    // As Add answered OK (or skipped) for each contact, in one undo step, showing the last one
    // entered.
    void Import(const std::vector<ContactForm>& forms, RepeatedNames repeated) {
        int last = -1; // the id of the contact entered last
        bool remembered = false;
        const auto changing = [&] {
            if (!std::exchange(remembered, true))
                Remember();
        };
        for (const ContactForm& form : forms) {
            ContactForm stored;
            for (std::size_t f = 0; f < kFieldCount; ++f)
                stored.texts[f] = Stored(form.texts[f], kRecordWidth[f]);
            const std::string name = stored[ContactField::name];
            if (name.empty())
                continue;
            int existing = -1;
            for (int slot = 0; slot < m_count && existing < 0; ++slot) {
                if (SlotText(slot, 0) == name)
                    existing = slot;
            }
            if (existing >= 0 && repeated != RepeatedNames::addAsWell) {
                if (repeated != RepeatedNames::skip) {
                    changing();
                    for (std::size_t f = 1; f < kFieldCount; ++f) {
                        // A merge keeps the fields the imported contact leaves empty.
                        if (repeated != RepeatedNames::merge || !stored.texts[f].empty())
                            Store(existing, f, stored.texts[f]);
                    }
                    last = m_ids[static_cast<std::size_t>(existing)];
                }
                continue;
            }
            if (m_count >= 200)
                continue;
            changing();
            for (std::size_t f = 0; f < kFieldCount; ++f)
                Store(m_count, f, stored.texts[f]);
            last = m_nextId++;
            m_ids.push_back(last);
            ++m_count;
            Insert(name, last);
        }
        if (last < 0)
            return;
        for (std::size_t e = 0; e < list.size(); ++e) {
            if (list[e].id == last)
                selection = static_cast<int>(e);
        }
        ShowSelection();
    }

    void Select(unsigned pick) {
        if (list.empty())
            return;
        selection = static_cast<int>(pick % list.size());
        ShowSelection();
    }

    void Delete() {
        if (selection < 0) {
            Message("Please Select Item first !!", MessageIcon::warning);
            return;
        }
        Remember();
        const int slot = SlotOf(list[static_cast<std::size_t>(selection)].id);
        // The following contacts move up as whole slots; the slot left free is zeroed.
        for (int k = slot; k < m_count - 1; ++k)
            m_slots[static_cast<std::size_t>(k)] = m_slots[static_cast<std::size_t>(k) + 1];
        for (std::size_t f = 0; f < kFieldCount; ++f)
            m_slots[static_cast<std::size_t>(m_count) - 1][f] =
                std::string(kRecordWidth[f] + 1, '\0');
        m_ids.erase(m_ids.begin() + slot);
        --m_count;
        list.erase(list.begin() + selection);
        if (selection > 0) {
            --selection;
            ShowSelection();
        } else if (!list.empty()) {
            selection = 0;
            ShowSelection();
        } else {
            selection = -1;
            fields = ContactForm{};
            countShown = m_count;
        }
    }

    // Clear; Load empties the book the same way but is always a step.
    void Clear(bool always = false) {
        if (!always && m_count == 0 && fields == ContactForm{}) {
            countShown = 0;
            return;
        }
        Remember();
        list.clear();
        selection = -1;
        m_ids.clear();
        m_count = 0;
        fields = ContactForm{};
        countShown = 0;
    }

    // Save and Save As: `written` is where the bytes land when the target is a writable file.
    void Save(Target target, bool report) {
        if (m_count == 0) {
            Message("Please add item first !!", MessageIcon::warning);
            return;
        }
        choosers.push_back({FileMode::save, report ? "Tel_Save.txt" : "Tel_Save.tel",
                            std::string(report ? kTxtFilter : kTelFilter)});
        if (target == Target::cancel)
            return;
        if (target != Target::normal) {
            Message(kSaveFailed, MessageIcon::error);
            return;
        }
        (report ? reportFile : bookFile) = report ? Report() : Image();
        if (!report)
            m_saved = Listed();
    }

    // file: the bytes found at the chosen path, nothing when it is missing or a folder.
    void Load(Target target, const std::optional<std::string>& file) {
        choosers.push_back({FileMode::open, "Tel_Expt.tel", std::string(kTelFilter)});
        if (target == Target::cancel)
            return;
        if (!file) {
            Message("File Get Fail !!", MessageIcon::error);
            return;
        }
        const std::string& bytes = *file;
        const bool signature = bytes.size() >= 5 && bytes.compare(0, 4, "\x55\xAA\x68\x68") == 0;
        if (!signature || bytes.size() % 128 != 0 || bytes.size() < 640 || bytes.size() > 26112) {
            Message("Error!!, Not ZUM Tel file ...", MessageIcon::error);
            return;
        }
        Clear(true);
        const int places = static_cast<int>((bytes.size() - 512) / 128);
        const int records =
            std::min(static_cast<int>(static_cast<unsigned char>(bytes[4])), places);
        for (int r = 0; r < records; ++r) {
            for (std::size_t f = 0; f < kFieldCount; ++f) {
                std::string& slot = m_slots[static_cast<std::size_t>(r)][f];
                slot = bytes.substr(512 + 128 * static_cast<std::size_t>(r) + kRecordOffset[f],
                                    kRecordWidth[f]) +
                       '\0';
            }
            const int id = m_nextId++;
            m_ids.push_back(id);
            ++m_count;
            Insert(SlotText(r, 0), id);
        }
        if (records > 0) {
            selection = static_cast<int>(list.size()) - 1;
            ShowSelection();
        }
        m_saved = Listed();
    }

    std::string Image() const {
        std::string image(26112, '\0');
        image.replace(0, 4, "\x55\xAA\x68\x68");
        image[4] = static_cast<char>(list.size());
        for (std::size_t p = 0; p < list.size(); ++p) {
            const int slot = SlotOf(list[p].id);
            for (std::size_t f = 0; f < kFieldCount; ++f)
                image.replace(512 + 128 * p + kRecordOffset[f], kRecordWidth[f],
                              SlotBytes(slot, f));
        }
        return image;
    }

    std::string Report() const {
        static constexpr std::array<std::string_view, kFieldCount> kLabels = {
            "Name: ", "Mobile: ", "Telphone: ", "E_mail: ", "QQ: ", "FAX: "};
        std::string report = "Total Telphone Number: " + std::to_string(m_count) + "\r\n\r\n";
        for (std::size_t p = 0; p < list.size(); ++p) {
            const int slot = SlotOf(list[p].id);
            report += "No: " + std::to_string(p + 1) + "\r\n";
            for (std::size_t f = 0; f < kFieldCount; ++f)
                report += std::string(kLabels[f]) + SlotText(slot, f) + "\r\n";
            report += "\r\n";
        }
        return report + "END!";
    }

private:
    struct State {
        ContactForm fields;
        int selection;
        std::vector<Entry> list;
        std::array<std::array<std::string, kFieldCount>, 200> slots;
        std::vector<int> ids;
        int count;
    };

    State Now() const { return {fields, selection, list, m_slots, m_ids, m_count}; }

    std::vector<std::array<std::string, kFieldCount>> Listed() const {
        std::vector<std::array<std::string, kFieldCount>> listed;
        for (const Entry& entry : list) {
            auto& texts = listed.emplace_back();
            for (std::size_t f = 0; f < kFieldCount; ++f)
                texts[f] = SlotText(SlotOf(entry.id), f);
        }
        return listed;
    }

    // Before a command changes the book: its state becomes a step back.
    void Remember() {
        m_undo.push_back(Now());
        if (m_undo.size() > 100)
            m_undo.erase(m_undo.begin());
        m_redo.clear();
    }

    void Step(std::vector<State>& from, std::vector<State>& to) {
        if (from.empty())
            return;
        to.push_back(Now());
        State& state = from.back();
        fields = state.fields;
        selection = state.selection;
        list = state.list;
        m_slots = state.slots;
        m_ids = state.ids;
        m_count = state.count;
        countShown = m_count;
        from.pop_back();
    }

    void Message(std::string_view text, MessageIcon icon,
                 MessageButtons buttons = MessageButtons::ok) {
        messages.push_back({std::string(text), icon, buttons});
    }

    std::string Stored(const std::string& text, std::size_t limit) const {
        const std::string untilNul = text.substr(0, text.find('\0'));
        std::size_t end = 0;
        while (end < untilNul.size()) {
            const auto byte = static_cast<unsigned char>(untilNul[end]);
            const bool pair =
                m_doubleByte && byte >= 0x81 && byte <= 0xFE && end + 1 < untilNul.size();
            if (end + (pair ? 2 : 1) > limit)
                break;
            end += pair ? 2 : 1;
        }
        return untilNul.substr(0, end);
    }

    // A text, then zeros to the slot's end.
    void Store(int slot, std::size_t field, const std::string& text) {
        std::string& bytes = m_slots[static_cast<std::size_t>(slot)][field];
        bytes = text;
        bytes.resize(kRecordWidth[field] + 1, '\0');
    }

    // ASCII letters folded, double-byte characters kept whole (GBK leads 0x81-0xFE).
    std::vector<unsigned char> SortKey(std::string_view name) const {
        std::vector<unsigned char> key;
        for (std::size_t i = 0; i < name.size(); ++i) {
            const auto byte = static_cast<unsigned char>(name[i]);
            if (m_doubleByte && byte >= 0x81 && byte <= 0xFE && i + 1 < name.size()) {
                key.push_back(byte);
                key.push_back(static_cast<unsigned char>(name[++i]));
            } else {
                key.push_back((byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + 32)
                                                           : byte);
            }
        }
        return key;
    }

    // After every entry that sorts equal, so equal names keep the order they came in.
    int Insert(const std::string& name, int id) {
        const auto key = SortKey(name);
        auto at = list.begin();
        while (at != list.end() && SortKey(at->name) <= key)
            ++at;
        const auto position = at - list.begin();
        list.insert(at, Entry{name, id});
        return static_cast<int>(position);
    }

    void ShowSelection() {
        const int slot = SlotOf(list[static_cast<std::size_t>(selection)].id);
        for (std::size_t f = 0; f < kFieldCount; ++f)
            fields.texts[f] = SlotText(slot, f);
        countShown = m_count;
    }

    bool m_doubleByte;
    std::array<std::array<std::string, kFieldCount>, 200> m_slots;
    std::vector<int> m_ids; // the id of the contact in each used slot
    int m_count = 0;
    int m_nextId = 1;
    std::vector<State> m_undo;
    std::vector<State> m_redo;
    std::vector<std::array<std::string, kFieldCount>> m_saved; // Listed() when last saved
};

// ---------------------------------------------------------------------------------------------
// Running a sequence

std::optional<std::string> ReadFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Saves fsync; a memory file system keeps thousands of them fast where there is one.
fs::path WorkRoot() {
    std::error_code error;
    if (fs::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return fs::temp_directory_path();
}

class CWorkFolder {
public:
    CWorkFolder() : m_path(WorkRoot() / ("orvalen-model-" + std::to_string(::getpid()))) {
        std::error_code error;
        fs::remove_all(m_path, error);
        fs::create_directories(m_path);
    }
    ~CWorkFolder() {
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    CWorkFolder(const CWorkFolder&) = delete;
    CWorkFolder& operator=(const CWorkFolder&) = delete;

    const fs::path& Path() const { return m_path; }

    void Reset() {
        for (const auto& entry : fs::directory_iterator(m_path))
            fs::remove_all(entry.path());
        fs::create_directory(m_path / "folder.tel");
        WriteFile(m_path / "folder.tel" / "inside", "kept");
    }

    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_path))
            names.insert(entry.path().filename().string());
        return names;
    }

private:
    fs::path m_path;
};

struct Failure {
    std::size_t step; // the command after which the results differed
    std::string what;
};

struct Totals {
    long long sequences = 0;
    long long commands = 0;
    long long saves = 0;
    long long loads = 0;
    long long undos = 0; // undo and redo commands that had a step to take
    long long redos = 0;
    std::map<std::string, long long> messages; // how often each message was expected
    long long fullTables = 0;                  // commands that ended with 200 contacts
    long long repeatedNames = 0;               // commands that ended with a name listed twice
};

class CRunner {
public:
    CRunner(CWorkFolder& folder, bool doubleByte, Totals* totals)
        : m_folder(folder), m_list(CNameCollation(CCodePage(doubleByte ? "GBK" : "UTF-8"))),
          m_model(doubleByte), m_totals(totals) {
        m_folder.Reset();
    }

    std::optional<Failure> Run(const std::vector<Command>& commands) {
        for (std::size_t step = 0; step < commands.size(); ++step) {
            Apply(commands[step]);
            if (auto what = Compare())
                return Failure{step, *what};
            if (m_totals)
                Tally();
        }
        return std::nullopt;
    }

private:
    fs::path PathFor(Target target, std::string_view usual) const {
        switch (target) {
        case Target::missingFolder:
            return m_folder.Path() / "gone" / usual;
        case Target::folder:
            return m_folder.Path() / "folder.tel";
        case Target::missingFile:
            return m_folder.Path() / "missing.tel";
        case Target::crafted:
            return m_folder.Path() / "crafted.tel";
        default:
            return m_folder.Path() / usual;
        }
    }

    void ChooseNext(Target target, std::string_view usual) {
        if (target == Target::cancel)
            m_view.chosenFiles.push_back(std::nullopt);
        else
            m_view.chosenFiles.push_back(PathFor(target, usual));
    }

    void Apply(const Command& command) {
        m_view.messages.clear();
        m_view.choosers.clear();
        m_view.answers.clear();
        m_view.chosenFiles.clear();
        m_model.BeginCommand();
        if (m_totals)
            ++m_totals->commands;

        switch (command.op) {
        case Op::type:
            m_view.Type(command.form);
            m_model.Type(command.form);
            break;
        case Op::add:
            if (command.typeFirst) {
                m_view.Type(command.form);
                m_model.Type(command.form);
            }
            m_view.answers.push_back(command.answerOk ? MessageResult::ok : MessageResult::cancel);
            m_editor.Add();
            m_model.Add(command.answerOk);
            break;
        case Op::select:
            // The user can click only an entry that is there.
            if (m_list.GetCount() > 0) {
                m_list.SetCurSel(static_cast<int>(command.pick % m_list.GetCount()));
                m_editor.ShowSelected();
            }
            m_model.Select(command.pick);
            break;
        case Op::remove:
            m_editor.Delete();
            m_model.Delete();
            break;
        case Op::import:
            m_editor.Import(command.imported, command.repeated);
            m_model.Import(command.imported, command.repeated);
            break;
        case Op::clear:
            m_editor.Clear();
            m_model.Clear();
            break;
        case Op::undo:
            if (m_totals && m_editor.CanUndo())
                ++m_totals->undos;
            m_editor.Undo();
            m_model.Undo();
            break;
        case Op::redo:
            if (m_totals && m_editor.CanRedo())
                ++m_totals->redos;
            m_editor.Redo();
            m_model.Redo();
            break;
        case Op::save:
        case Op::saveAs: {
            const bool report = command.op == Op::saveAs;
            ChooseNext(command.target, report ? "report.txt" : "book.tel");
            if (report)
                CTextReport::SaveAs(m_editor);
            else
                CDeviceBookFile::Save(m_editor);
            m_model.Save(command.target, report);
            if (m_totals)
                ++m_totals->saves;
            break;
        }
        case Op::load: {
            if (command.target == Target::crafted)
                WriteFile(PathFor(Target::crafted, {}), command.crafted);
            ChooseNext(command.target, "book.tel");
            const fs::path path = PathFor(command.target, "book.tel");
            const std::optional<std::string> file =
                command.target == Target::crafted
                    ? std::optional<std::string>(command.crafted)
                    : (command.target == Target::normal ? m_model.bookFile : std::nullopt);
            CDeviceBookFile::Load(m_editor);
            m_model.Load(command.target, file);
            if (command.target == Target::crafted)
                fs::remove(path);
            if (m_totals)
                ++m_totals->loads;
            break;
        }
        }
    }

    void Tally() {
        for (const auto& message : m_model.messages)
            ++m_totals->messages[message.text];
        if (m_model.Count() == kMaxContacts)
            ++m_totals->fullTables;
        for (std::size_t p = 1; p < m_model.list.size(); ++p) {
            if (m_model.list[p].name == m_model.list[p - 1].name) {
                ++m_totals->repeatedNames;
                break;
            }
        }
    }

    std::optional<std::string> Compare() const {
        std::ostringstream out;
        if (m_view.messages != m_model.messages) {
            out << "messages: got";
            for (const auto& m : m_view.messages)
                out << " [" << m.text << "]";
            out << ", expected";
            for (const auto& m : m_model.messages)
                out << " [" << m.text << "]";
            out << " (or their icon or buttons differ)";
            return out.str();
        }
        std::vector<ExpectedChooser> choosers;
        for (const auto& c : m_view.choosers)
            choosers.push_back({c.mode, c.defaultName, c.filter});
        if (choosers != m_model.choosers)
            return "file choosers asked for differ";
        for (std::size_t f = 0; f < kFieldCount; ++f) {
            if (m_view.typed.texts[f] != m_model.fields.texts[f]) {
                out << "edit field " << f << ": got " << Printable(m_view.typed.texts[f])
                    << ", expected " << Printable(m_model.fields.texts[f]);
                return out.str();
            }
        }
        if (m_view.shownCount != m_model.countShown) {
            out << "count display: got " << m_view.shownCount << ", expected "
                << m_model.countShown;
            return out.str();
        }
        if (m_list.GetCount() != static_cast<int>(m_model.list.size())) {
            out << "list count: got " << m_list.GetCount() << ", expected " << m_model.list.size();
            return out.str();
        }
        for (int p = 0; p < m_list.GetCount(); ++p) {
            if (m_list.GetText(p) != m_model.list[static_cast<std::size_t>(p)].name) {
                out << "list entry " << p << ": got " << Printable(m_list.GetText(p))
                    << ", expected " << Printable(m_model.list[static_cast<std::size_t>(p)].name);
                return out.str();
            }
        }
        if (m_list.GetCurSel() != m_model.selection) {
            out << "selection: got " << m_list.GetCurSel() << ", expected " << m_model.selection;
            return out.str();
        }
        const CContactTable& table = m_editor.Table();
        if (table.Count() != m_model.Count() || table.Count() != m_list.GetCount()) {
            out << "table count: got " << table.Count() << ", expected " << m_model.Count();
            return out.str();
        }
        for (int slot = 0; slot < table.Count(); ++slot) {
            for (std::size_t f = 0; f < kFieldCount; ++f) {
                if (table.SlotBytes(slot, kAllFields[f]) != m_model.SlotBytes(slot, f) ||
                    table.Text(slot, kAllFields[f]) != m_model.SlotText(slot, f)) {
                    out << "table slot " << slot << " field " << f << ": got "
                        << Printable(table.SlotBytes(slot, kAllFields[f])) << ", expected "
                        << Printable(m_model.SlotBytes(slot, f));
                    return out.str();
                }
            }
        }
        // Each entry stands for its own contact.
        std::set<int> paired;
        for (int p = 0; p < m_list.GetCount(); ++p) {
            const int slot = m_editor.FindListed(p);
            const int expected = m_model.SlotOf(m_model.list[static_cast<std::size_t>(p)].id);
            if (slot != expected || !paired.insert(slot).second) {
                out << "list entry " << p << " stands for slot " << slot << ", expected "
                    << expected;
                return out.str();
            }
        }
        // Whatever was typed, a save would find every listed contact and write what it should.
        if (table.Count() > 0) {
            const CResult<std::string> image = CDeviceBookFile::BuildImage(m_editor);
            if (!image)
                return "a save would fail: " + image.Status().Describe();
            if (*image != m_model.Image())
                return "a save would write other bytes than expected";
        }
        if (m_editor.IsModified() != m_model.Modified()) {
            out << "modified: got " << m_editor.IsModified() << ", expected " << m_model.Modified();
            return out.str();
        }
        if (ReadFile(m_folder.Path() / "book.tel") != m_model.bookFile)
            return "book.tel differs from the expected bytes";
        if (ReadFile(m_folder.Path() / "report.txt") != m_model.reportFile)
            return "report.txt differs from the expected bytes";
        std::set<std::string> names = {"folder.tel"};
        if (m_model.bookFile)
            names.insert("book.tel");
        if (m_model.reportFile)
            names.insert("report.txt");
        if (m_folder.Names() != names)
            return "the folder holds other files than book.tel and report.txt (a temporary?)";
        if (ReadFile(m_folder.Path() / "folder.tel" / "inside") != std::string("kept"))
            return "the folder chosen as a target was changed";
        return std::nullopt;
    }

    CWorkFolder& m_folder;
    CMemoryNameList m_list;
    CHeadlessView m_view;
    CBookEditor m_editor{m_list, m_view};
    CModel m_model;
    Totals* m_totals;
};

std::optional<Failure> RunOnce(CWorkFolder& folder, std::uint64_t seed,
                               const std::vector<Command>& commands, Totals* totals = nullptr) {
    const bool doubleByte = seed % 2 == 1;
    CRunner runner(folder, doubleByte, totals);
    return runner.Run(commands);
}

// The shortest failing sequence found by dropping chunks of commands, halving the chunk size
// whenever no chunk can go.
std::vector<Command> Shrink(CWorkFolder& folder, std::uint64_t seed, std::vector<Command> commands,
                            std::size_t failingStep) {
    commands.resize(failingStep + 1);
    int budget = 3000;
    for (std::size_t chunk = std::max<std::size_t>(commands.size() / 2, 1); chunk >= 1;) {
        bool dropped = false;
        for (std::size_t start = 0; start < commands.size() && budget > 0; --budget) {
            std::vector<Command> shorter = commands;
            shorter.erase(shorter.begin() + static_cast<std::ptrdiff_t>(start),
                          shorter.begin() +
                              static_cast<std::ptrdiff_t>(std::min(start + chunk, shorter.size())));
            if (const auto failure = RunOnce(folder, seed, shorter)) {
                shorter.resize(failure->step + 1);
                commands = std::move(shorter);
                dropped = true;
            } else {
                start += chunk;
            }
        }
        if (budget <= 0 || (!dropped && chunk == 1))
            break;
        if (!dropped)
            chunk /= 2;
        chunk = std::min(chunk, std::max<std::size_t>(commands.size() / 2, 1));
    }
    return commands;
}

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

void WriteFigures(const std::string& line) {
    std::printf("%s\n", line.c_str());
    if (const char* folder = std::getenv("ORVALEN_FIGURES_DIR")) {
        std::ofstream(fs::path(folder) / "model-based.txt") << line << '\n';
    }
}

TEST(ModelBasedTest, RandomCommandSequencesMatchTheModel) {
    const std::uint64_t baseSeed = EnvNumber("ORVALEN_MODEL_SEED", 20240611);
    const std::uint64_t sequences = EnvNumber("ORVALEN_MODEL_SEQUENCES", 3000);

    CWorkFolder folder;
    Totals totals;
    for (std::uint64_t i = 0; i < sequences; ++i) {
        const std::uint64_t seed = baseSeed + i;
        const std::vector<Command> commands = CGenerator(seed).Sequence();
        ++totals.sequences;
        const auto failure = RunOnce(folder, seed, commands, &totals);
        if (!failure)
            continue;

        const std::vector<Command> shortest = Shrink(folder, seed, commands, failure->step);
        const auto shortFailure = RunOnce(folder, seed, shortest);
        std::ostringstream report;
        report << "seed " << seed << " (" << (seed % 2 ? "GBK" : "no double-byte")
               << " code page), failed after command " << failure->step + 1 << " of "
               << commands.size() << ": " << failure->what << "\n"
               << "Rerun: ORVALEN_MODEL_SEED=" << seed << " ORVALEN_MODEL_SEQUENCES=1\n"
               << "Shortest failing sequence (" << shortest.size() << " commands):\n";
        for (std::size_t step = 0; step < shortest.size(); ++step)
            report << "  " << step + 1 << ". " << Describe(shortest[step]) << "\n";
        report << "  -> " << (shortFailure ? shortFailure->what : std::string("(passed alone)"));
        FAIL() << report.str();
    }
    const std::string line =
        "model-based test: " + std::to_string(totals.sequences) + " sequences, " +
        std::to_string(totals.commands) + " commands (" + std::to_string(totals.saves) +
        " saves, " + std::to_string(totals.loads) + " loads, " + std::to_string(totals.undos) +
        " undos, " + std::to_string(totals.redos) + " redos), base seed " +
        std::to_string(baseSeed) + ", all matched the model";
    std::string situations = "  situations: " + std::to_string(totals.fullTables) +
                             " with a full table, " + std::to_string(totals.repeatedNames) +
                             " with a repeated name listed";
    for (const auto& [text, times] : totals.messages)
        situations += "; \"" + text + "\" x" + std::to_string(times);
    WriteFigures(line + "\n" + situations);
}

} // namespace
} // namespace orvalen
