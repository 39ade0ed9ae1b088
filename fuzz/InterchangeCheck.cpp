#include "InterchangeCheck.h"

#include "CsvReader.h"
#include "CsvWriter.h"
#include "VCardReader.h"
#include "VCardWriter.h"

#include <algorithm>
#include <vector>

namespace orvalen::fuzz {
namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length;
        char32_t value;
        if (byte < 0x80) {
            ++i;
            continue;
        } else if (byte >= 0xC2 && byte <= 0xDF) {
            length = 2;
            value = byte & 0x1F;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            length = 3;
            value = byte & 0x0F;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            length = 4;
            value = byte & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (next & 0x3F);
        }
        const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

InterchangeRead Read(InterchangeFormat format, std::string_view bytes) {
    return format == InterchangeFormat::vcard ? CVCardReader::Read(bytes) : CCsvReader::Read(bytes);
}

std::string Write(InterchangeFormat format, const std::vector<InterchangeContact>& contacts) {
    return format == InterchangeFormat::vcard ? CVCardWriter::Write(contacts)
                                              : CCsvWriter::Write(contacts);
}

} // namespace

std::optional<std::string> CheckInterchangeRead(InterchangeFormat format, std::string_view bytes) {
    const InterchangeRead read = Read(format, bytes);
    if (read.IsRefused())
        return std::nullopt;
    const int lines = static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n') +
                                       std::count(bytes.begin(), bytes.end(), '\r')) +
                      1;
    for (const InterchangeContact& contact : read.contacts) {
        if (contact[ContactField::name].empty())
            return "a contact without a name";
        for (const std::string& text : contact.texts) {
            if (!IsValidUtf8(text))
                return "a contact text that is not valid UTF-8";
        }
        if (contact.line < 1 || contact.line > lines)
            return "a contact's line is outside the file";
    }
    // The notes stay bounded whatever the input: a few examples per kind, values quoted short.
    if (read.notes.Examples().size() > CNotes::kExamplesPerKind * kNoteKindCount)
        return "more note examples than the bound";
    for (const InterchangeNote& note : read.notes.Examples()) {
        if (note.value.size() > kQuoteLength + 3 || note.contact.size() > kQuoteLength + 3)
            return "a note quotes more than its bound";
    }

    // An empty file is refused, and nothing is all that writing no contacts gives.
    if (read.contacts.empty())
        return std::nullopt;
    const InterchangeRead back = Read(format, Write(format, read.contacts));
    if (back.IsRefused())
        return "what was written from a file's contacts is refused: " + back.status.Describe();
    if (back.contacts.size() != read.contacts.size())
        return "writing and reading back gives another number of contacts";
    for (std::size_t i = 0; i < read.contacts.size(); ++i) {
        if (back.contacts[i].texts != read.contacts[i].texts)
            return "writing and reading back changes contact " + std::to_string(i + 1);
    }
    return std::nullopt;
}

} // namespace orvalen::fuzz
