#pragma once

#include "Interchange.h"

#include <span>
#include <string>

namespace orvalen {

// Writes vCard 3.0 as address books import it: UTF-8, CR LF line ends, lines folded at 75
// octets without splitting a character, one card per contact with FN, N, a UID that is the
// same for the same contact in every export, TEL typed CELL, VOICE and FAX, EMAIL typed INTERNET
// and the QQ number as an IMPP; empty fields left out.
class CVCardWriter {
public:
    static std::string Write(std::span<const InterchangeContact> contacts);

    // A content line cut into lines of at most 75 octets, each ended with CR LF.
    static std::string FoldLine(std::string_view line);
    // Escapes backslashes, commas, semicolons and line breaks of a text value.
    static std::string EscapeText(std::string_view text);
};

} // namespace orvalen
