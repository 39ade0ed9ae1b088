#pragma once

#include "Interchange.h"

#include <string_view>

namespace orvalen {

// Reads the vCards (2.1, 3.0, 4.0) that phones and address books export.
//
// Each card with a name gives one contact, in file order: FN, else N joined into a full name;
// the first TEL typed CELL is the mobile, the first typed FAX the fax, the first other TEL the
// telephone; the first EMAIL the e-mail; QQ comes from X-QQ or from an IMPP that names QQ.
// Numbers and addresses that find no free field are reported as warnings.
class CVCardReader {
public:
    // bytes is the whole file. Values without a CHARSET parameter are in inputEncoding, or, when
    // that is empty, in what a byte order mark says, else UTF-8 when the file is valid UTF-8,
    // else GB18030.
    static InterchangeRead Read(std::string_view bytes, std::string_view inputEncoding = {});
};

} // namespace orvalen
