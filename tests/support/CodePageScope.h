#pragma once

#include "NameCollation.h"

namespace orvalen::testing {

// GBK's double-byte lead bytes, or none, for the life of the scope; none again afterwards.
class CCodePageScope {
public:
    explicit CCodePageScope(bool doubleByte = true) {
        if (doubleByte)
            SetDoubleByteLeadRange(0x81, 0xFE);
        else
            ClearDoubleByteLeads();
    }
    ~CCodePageScope() { ClearDoubleByteLeads(); }
    CCodePageScope(const CCodePageScope&) = delete;
    CCodePageScope& operator=(const CCodePageScope&) = delete;
};

} // namespace orvalen::testing
