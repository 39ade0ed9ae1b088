#pragma once

#include "Interchange.h"

#include <string_view>

namespace orvalen {

// Reads the vCards (2.1, 3.0, 4.0) that phones and address books export.
//
// Each card with a name gives one contact, in file order: FN, else N joined into a full name;
// the first TEL typed CELL is the mobile, the first typed FAX the fax, the first other TEL the
// telephone; the first EMAIL the e-mail; QQ comes from X-QQ or from an IMPP that names QQ.
// Numbers and addresses that find no free field are reported as warnings. The syntax reader
// itself is CVCardSyntax (ContactSyntax.h), which streams.
class CVCardReader {
public:
    // bytes is the whole file, read through ReadContactBytes with GB18030 as the user's code
    // page; inputEncoding is the user's choice of character set.
    static InterchangeRead Read(std::string_view bytes, std::string_view inputEncoding = {});
};

} // namespace orvalen
