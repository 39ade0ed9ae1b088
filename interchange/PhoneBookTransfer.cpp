#include "PhoneBookTransfer.h"

#include "TextUtil.h"

#include <map>
#include <string>

namespace orvalen {
namespace {

// The player shows each field on one line: line breaks and tabs become blanks.
std::string OneLine(std::string_view text) {
    std::string line(Trim(text));
    for (char& c : line) {
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    }
    return line;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// The first character of utf8 that the code page cannot hold.
std::string FirstUnencodable(std::string_view utf8, const CCodePage& codePage) {
    while (!utf8.empty()) {
        std::size_t length = Utf8CharLength(utf8);
        if (length == 0 || !codePage.FromUtf8(utf8.substr(0, length)))
            return DescribeFirstCharacter(utf8);
        utf8.remove_prefix(length);
    }
    return "a character";
}

} // namespace

TransferOutcome FillPhoneBook(CBookEditor& editor, std::span<const InterchangeContact> contacts,
                              const CCodePage& codePage, bool replace) {
    TransferOutcome outcome;
    std::vector<ContactForm> forms;
    std::map<std::string, const InterchangeContact*> firstWithName;
    for (const InterchangeContact& contact : contacts) {
        auto note = [&](std::vector<SourceNote>& to, std::string text) {
            to.push_back({contact.line, contact.card, std::move(text)});
        };
        const std::string who = Quoted(OneLine(contact[ContactField::name]));
        ContactForm form;
        bool convertible = true;
        for (ContactField field : kAllFields) {
            const std::string text = OneLine(contact[field]);
            const auto whole = codePage.FromUtf8Fitting(text, std::string::npos, replace);
            if (!whole) {
                note(outcome.errors, who + ": the " + std::string(FieldLabel(field)) + " holds " +
                                         FirstUnencodable(text, codePage) + ", which " +
                                         codePage.Name() +
                                         " cannot hold (--replace writes \"?\" for it)");
                convertible = false;
                continue;
            }
            if (replace && !codePage.FromUtf8(text))
                note(outcome.warnings, who + ": characters of the " +
                                           std::string(FieldLabel(field)) + " that " +
                                           codePage.Name() + " cannot hold became \"?\"");
            auto fitted = codePage.FromUtf8Fitting(text, MaxLength(field), replace);
            if (!fitted->complete) {
                // A cut that ends on a blank would leave it trailing the text on the player.
                while (fitted->bytes.ends_with(' '))
                    fitted->bytes.pop_back();
            }
            if (!fitted->complete)
                note(outcome.warnings, who + ": the " + std::string(FieldLabel(field)) + " is " +
                                           std::to_string(whole->bytes.size()) + " bytes in " +
                                           codePage.Name() + ", more than " +
                                           std::to_string(MaxLength(field)) + "; cut to " +
                                           Quoted(codePage.ToUtf8Lossy(fitted->bytes)));
            form[field] = std::move(fitted->bytes);
        }
        if (!convertible)
            continue;
        if (form[ContactField::name].empty()) {
            note(outcome.warnings, "no name; skipped");
            continue;
        }
        const auto [first, isNew] = firstWithName.try_emplace(form[ContactField::name], &contact);
        if (!isNew) {
            const InterchangeContact& earlier = *first->second;
            const std::string where = earlier.card > 0 ? "card " + std::to_string(earlier.card)
                                                       : "line " + std::to_string(earlier.line);
            note(outcome.warnings,
                 who + " is a name already given in " + where + "; both are kept");
        }
        forms.push_back(std::move(form));
    }

    if (static_cast<int>(forms.size()) > kMaxContacts)
        outcome.errors.push_back({0, 0,
                                  "the input holds " + std::to_string(forms.size()) +
                                      " contacts; the player's phone book holds at most " +
                                      std::to_string(kMaxContacts)});
    if (!outcome.Succeeded())
        return outcome;

    // File order into the table, sorted into the list; equal names keep their order.
    editor.Clear();
    for (const ContactForm& form : forms) {
        editor.List().AddString(form[ContactField::name]);
        editor.Table().Append(form);
    }
    return outcome;
}

ExtractOutcome ExtractPhoneBook(const CBookEditor& editor, const CCodePage& codePage) {
    ExtractOutcome outcome;
    const CContactTable& table = editor.Table();
    for (int position = 0; position < editor.List().GetCount(); ++position) {
        const int index = editor.FindListed(position);
        if (index == CContactTable::kNone) {
            outcome.listMismatch = true;
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
            outcome.warnings.push_back({contact.line, 0,
                                        "the " + std::string(FieldLabel(field)) + " " +
                                            Quoted(contact[field]) + " is not valid " +
                                            codePage.Name() + "; its bad bytes became U+FFFD"});
        }
        if (contact[ContactField::name].empty())
            outcome.warnings.push_back({contact.line, 0, "the contact has no name"});
        outcome.contacts.push_back(std::move(contact));
    }
    return outcome;
}

} // namespace orvalen
