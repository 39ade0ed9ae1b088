#pragma once

#include "Interchange.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvalen {

// Reads contacts from CSV as spreadsheets and address books export it (RFC 4180: quoted
// fields, doubled quotes, separators and line breaks inside quotes). The header row says
// which column holds what: this program's own columns and those of Google Contacts, Outlook and
// Thunderbird are understood. A header without a name column (name parts, company or nickname)
// refuses the file. Blank lines are skipped, whatever their number, in bounded memory.
class CCsvReader {
public:
    // bytes is the whole file; its encoding as for CVCardReader::Read.
    static InterchangeRead Read(std::string_view bytes, std::string_view inputEncoding = {});

    // One record: its fields and the line it starts on.
    struct Record {
        std::vector<std::string> fields;
        int line = 0;
    };
    struct Records {
        std::vector<Record> records; // blank lines left out
        CStatus status;              // malformed, kUnclosedQuote, with its line
    };
    // The details of a malformed file's status.
    static constexpr std::string_view kUnclosedQuote = "a quoted field has no closing quote";
    static constexpr std::string_view kNoHeader = "no header row";
    static constexpr std::string_view kNoNameColumn = "no name column in the header row";

    // Splits UTF-8 text into records; the separator is the first of comma, semicolon and tab
    // that the first record holds outside quotes (a comma when it holds none).
    static Records Split(std::string_view text);

    // The header texts understood, for the message that refuses an unknown header.
    static std::string KnownColumns();
};

} // namespace orvalen
