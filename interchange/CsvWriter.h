#pragma once

#include "Interchange.h"

#include <span>
#include <string>

namespace orvalen {

// Writes this program's CSV: a byte order mark (spreadsheet programs then read the Chinese
// text as UTF-8), the header Name,Mobile,Telephone,E-mail,QQ,Fax, CR LF line ends, and fields
// quoted as RFC 4180 says when they hold a quote, a comma or a line break.
class CCsvWriter {
public:
    static std::string Write(std::span<const InterchangeContact> contacts);
    static std::string QuoteField(std::string_view text);
};

} // namespace orvalen
