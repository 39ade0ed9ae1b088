#include "CsvWriter.h"

namespace orvalen {

std::string CCsvWriter::QuoteField(std::string_view text) {
    // Leading or trailing blanks are quoted too: some readers trim unquoted fields.
    const bool needsQuotes = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                             (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!needsQuotes)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string CCsvWriter::Write(std::span<const InterchangeContact> contacts) {
    std::string out = "\xEF\xBB\xBF";
    for (const FieldFacts& facts : kFieldFacts) {
        if (facts.field != ContactField::name)
            out += ',';
        out += facts.csvColumn;
    }
    out += "\r\n";
    for (const InterchangeContact& contact : contacts) {
        for (ContactField field : kAllFields) {
            if (field != ContactField::name)
                out += ',';
            out += QuoteField(contact[field]);
        }
        out += "\r\n";
    }
    return out;
}

} // namespace orvalen
