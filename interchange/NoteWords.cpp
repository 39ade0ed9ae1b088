#include "NoteWords.h"

#include <cstdio>

namespace orvalen {
namespace {

bool IsNumberField(ContactField field) {
    return field == ContactField::mobile || field == ContactField::telephone ||
           field == ContactField::fax;
}

std::string Capitalized(std::string_view text) {
    std::string capitalized(text);
    if (!capitalized.empty() && capitalized[0] >= 'a' && capitalized[0] <= 'z')
        capitalized[0] = static_cast<char>(capitalized[0] - 'a' + 'A');
    return capitalized;
}

} // namespace

std::string QuoteForMessage(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string DescribeLoss(const InterchangeNote& note, std::string_view codePageName) {
    const std::string field(FieldLabel(note.field));
    const std::string limit = std::to_string(MaxLength(note.field));
    switch (note.kind) {
    case NoteKind::valueLeftOut:
        return Capitalized(field) + " " + QuoteForMessage(note.value) +
               " left out: the player holds one " + field;
    case NoteKind::valueTooLong:
        // A number's length is counted without its formatting, which it would lose first.
        return Capitalized(field) + " " + QuoteForMessage(note.value) +
               " left out: " + std::to_string(note.size) + " bytes" +
               (IsNumberField(note.field) ? " without its formatting" : "") + ", more than the " +
               limit + " the player holds";
    case NoteKind::nameCut:
        return "Name cut to " + QuoteForMessage(note.value) + ": it is " +
               std::to_string(note.size) + " bytes, more than the " + limit + " the player holds";
    case NoteKind::controlRemoved:
        return "Control characters removed from the " + field;
    case NoteKind::replaced:
        return "Characters of the " + field + " that " + std::string(codePageName) +
               " cannot hold became \"?\"";
    case NoteKind::extensionLeftOut:
        return "Extension of the " + field + " " + QuoteForMessage(note.value) +
               " left out: only the number fits the " + limit + " bytes the player holds";
    default:
        return {};
    }
}

} // namespace orvalen
