#include "PhoneBookTransfer.h"

#include "PhoneNumber.h"
#include "TextUtil.h"

#include <algorithm>
#include <map>
#include <string>

namespace orvalen {
namespace {

bool IsNumberField(ContactField field) {
    return field == ContactField::mobile || field == ContactField::telephone ||
           field == ContactField::fax;
}

// The player shows each field on one line: line breaks and tabs become blanks, and other
// control characters (a NUL would end the text early) are removed.
std::string OneLine(std::string_view text, bool& removed) {
    std::string line;
    line.reserve(text.size());
    for (char c : Trim(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r' || c == '\n' || c == '\t')
            line += ' ';
        else if (byte < 0x20 || byte == 0x7F)
            removed = true;
        else
            line += c;
    }
    return line;
}

// The first character of utf8 that the code page cannot hold.
std::string FirstUnencodable(std::string_view utf8, const CCodePage& codePage) {
    while (!utf8.empty()) {
        std::size_t length = Utf8CharLength(utf8);
        if (length == 0 || !codePage.FromUtf8(utf8.substr(0, length)))
            return std::string(utf8.substr(0, std::max<std::size_t>(length, 1)));
        utf8.remove_prefix(length);
    }
    return {};
}

class CContactFiller {
public:
    CContactFiller(const InterchangeContact& contact, const CCodePage& codePage, bool replace,
                   CNotes& notes)
        : m_contact(contact), m_codePage(codePage), m_replace(replace), m_notes(notes) {}

    // The form, or nothing when a text cannot be converted.
    std::optional<ContactForm> Fill() {
        m_name = Clean(m_contact[ContactField::name], ContactField::name);
        ContactForm form;
        bool convertible = true;
        if (auto name = Convert(m_name, ContactField::name)) {
            auto fitted =
                m_codePage.FromUtf8Fitting(m_name, MaxLength(ContactField::name), m_replace);
            // A formatted name too long for the field: the given and family names when they
            // fit whole ("John Doe" rather than "Mr. John Richter").
            for (const FoundValue& shorter : m_contact.more[FieldIndex(ContactField::name)]) {
                if (fitted->complete)
                    break;
                bool removed = false;
                const std::string line = OneLine(shorter.value, removed);
                auto whole =
                    m_codePage.FromUtf8Fitting(line, MaxLength(ContactField::name), m_replace);
                if (whole && whole->complete && !whole->bytes.empty()) {
                    m_name = line;
                    fitted = std::move(whole);
                }
            }
            if (!fitted->complete) {
                // A cut that ends on a blank would leave it trailing the text on the player.
                while (fitted->bytes.ends_with(' '))
                    fitted->bytes.pop_back();
                // The note's value is what the player shows.
                Note(NoteKind::nameCut, ContactField::name, m_codePage.ToUtf8Lossy(fitted->bytes),
                     name->size());
            }
            form[ContactField::name] = std::move(fitted->bytes);
        } else {
            convertible = false;
        }
        for (ContactField field : kAllFields) {
            if (field != ContactField::name && !FillField(form, field))
                convertible = false;
        }
        if (!convertible)
            return std::nullopt;
        return form;
    }

    const std::string& Name() const { return m_name; }

private:
    bool FillField(ContactForm& form, ContactField field) {
        // Each value with the line it was found on, where the reader knew it.
        std::vector<std::pair<std::string_view, int>> candidates;
        if (!m_contact[field].empty())
            candidates.emplace_back(m_contact[field], m_contact.lines[FieldIndex(field)] > 0
                                                          ? m_contact.lines[FieldIndex(field)]
                                                          : m_contact.line);
        for (const FoundValue& value : m_contact.more[FieldIndex(field)])
            candidates.emplace_back(value.value, value.line > 0 ? value.line : m_contact.line);
        bool chosen = false;
        for (const auto& [candidate, line] : candidates) {
            m_line = line;
            if (chosen) {
                // The same number under another field is not lost.
                if (std::find(m_contact.texts.begin(), m_contact.texts.end(), candidate) ==
                    m_contact.texts.end())
                    Note(NoteKind::valueLeftOut, field, candidate);
                continue;
            }
            std::string text = Clean(candidate, field);
            if (IsNumberField(field)) {
                FittedNumber fitted = FitNumber(text, MaxLength(field), m_codePage);
                if (fitted.extensionLeftOut)
                    Note(NoteKind::extensionLeftOut, field, text);
                text = std::move(fitted.utf8);
            }
            if (text.empty())
                continue;
            auto bytes = Convert(text, field);
            if (!bytes)
                return false;
            if (bytes->size() > MaxLength(field)) {
                // A number too long even without its formatting is counted without it.
                const std::size_t size =
                    IsNumberField(field)
                        ? m_codePage.FromUtf8Replacing(UnformatNumber(text)).value_or(*bytes).size()
                        : bytes->size();
                Note(NoteKind::valueTooLong, field, text, size);
                continue;
            }
            form[field] = std::move(*bytes);
            chosen = true;
        }
        return true;
    }

    std::string Clean(std::string_view text, ContactField field) {
        bool removed = false;
        std::string line = OneLine(text, removed);
        if (removed)
            Note(NoteKind::controlRemoved, field, line);
        return line;
    }

    std::optional<std::string> Convert(const std::string& text, ContactField field) {
        if (auto bytes = m_codePage.FromUtf8(text))
            return bytes;
        if (m_replace) {
            if (auto bytes = m_codePage.FromUtf8Replacing(text)) {
                Note(NoteKind::replaced, field, text);
                return bytes;
            }
        }
        Note(NoteKind::unencodable, field, FirstUnencodable(text, m_codePage));
        return std::nullopt;
    }

    void Note(NoteKind kind, ContactField field, std::string_view value, std::size_t size = 0) {
        m_notes.Add({kind, field, m_line, m_contact.card,
                     m_name.empty() ? std::string(Trim(m_contact[ContactField::name])) : m_name,
                     std::string(value), size});
    }

    const InterchangeContact& m_contact;
    const CCodePage& m_codePage;
    bool m_replace;
    CNotes& m_notes;
    std::string m_name;
    int m_line = m_contact.line; // where the value at hand was found
};

} // namespace

std::optional<ContactForm> FitContact(const InterchangeContact& contact, const CCodePage& codePage,
                                      bool replace, CNotes& notes) {
    return CContactFiller(contact, codePage, replace, notes).Fill();
}

TransferOutcome FillPhoneBook(CBookEditor& editor, std::span<const InterchangeContact> contacts,
                              const CCodePage& codePage, bool replace) {
    TransferOutcome outcome;
    std::vector<ContactForm> forms;
    std::map<std::string, const InterchangeContact*> firstWithName;
    bool convertible = true;
    std::size_t beyond = 0; // contacts past the phone book's room: counted, not converted
    for (const InterchangeContact& contact : contacts) {
        if (forms.size() >= static_cast<std::size_t>(kMaxContacts)) {
            bool removed = false;
            beyond += !OneLine(contact[ContactField::name], removed).empty();
            continue;
        }
        CContactFiller filler(contact, codePage, replace, outcome.notes);
        auto form = filler.Fill();
        if (!form) {
            convertible = false;
            continue;
        }
        if ((*form)[ContactField::name].empty()) {
            outcome.notes.Add(
                {NoteKind::noName, ContactField::name, contact.line, contact.card, {}, {}, 0});
            continue;
        }
        const auto [first, isNew] =
            firstWithName.try_emplace((*form)[ContactField::name], &contact);
        if (!isNew)
            outcome.notes.Add({NoteKind::repeatedName,
                               ContactField::name,
                               contact.line,
                               contact.card,
                               filler.Name(),
                               {},
                               0});
        forms.push_back(std::move(*form));
    }

    if (!convertible)
        outcome.status = CStatus(StatusKind::encoding, {}, codePage.Name());
    else if (beyond > 0)
        outcome.status = CStatus(StatusKind::tooLarge, {}, std::to_string(forms.size() + beyond));
    if (!outcome.Succeeded())
        return outcome;

    // File order into the table, sorted into the list; equal names keep their order.
    editor.Clear();
    editor.AppendContacts(forms);
    return outcome;
}

ExtractOutcome ExtractPhoneBook(const CBookEditor& editor, const CCodePage& codePage) {
    ExtractOutcome outcome;
    const CContactTable& table = editor.Table();
    for (int position = 0; position < editor.List().GetCount(); ++position) {
        const int index = editor.FindListed(position);
        if (index == CContactTable::kNone) {
            outcome.status = CStatus(StatusKind::listMismatch);
            outcome.contacts.clear();
            return outcome;
        }
        InterchangeContact contact;
        contact.line = index + 1;
        for (ContactField field : kAllFields) {
            const std::string_view bytes = table.Text(index, field);
            if (auto text = codePage.ToUtf8(bytes)) {
                contact[field] = std::move(*text);
                continue;
            }
            contact[field] = codePage.ToUtf8Lossy(bytes);
            outcome.notes.Add({NoteKind::invalidBytes, field, contact.line, 0,
                               contact[ContactField::name], contact[field], 0});
        }
        if (contact[ContactField::name].empty())
            outcome.notes.Add({NoteKind::noName, ContactField::name, contact.line, 0, {}, {}, 0});
        outcome.contacts.push_back(std::move(contact));
    }
    return outcome;
}

} // namespace orvalen
