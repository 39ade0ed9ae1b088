// Builds without uchardet (Windows: no package for mingw-w64 or Qt's kits). Without a detector
// a file that is not UTF-8 is read in the user's code page.
#include "CharsetDetector.h"

namespace orvalen {

struct CCharsetDetector::CState {};

CCharsetDetector::CCharsetDetector() = default;
CCharsetDetector::~CCharsetDetector() = default;
void CCharsetDetector::Feed(std::string_view) {}
std::string CCharsetDetector::Name() {
    return {};
}

} // namespace orvalen
