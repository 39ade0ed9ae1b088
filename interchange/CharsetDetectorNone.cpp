// Builds without uchardet (Windows: no package for mingw-w64 or Qt's kits). Without a detector
// the guess is GB18030, which the program's users write most, where the bytes are valid in it.
#include "CharsetDetector.h"
#include "CodePage.h"

namespace orvalen {

std::string DetectCharset(std::string_view bytes) {
    return CCodePage("GB18030").ToUtf8(bytes) ? "GB18030" : std::string();
}

} // namespace orvalen
