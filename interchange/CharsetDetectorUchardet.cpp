// The detector is uchardet (Debian: libuchardet-dev).
#include "CharsetDetector.h"

#include <memory>
#include <type_traits>

#include <uchardet.h>

namespace orvalen {

std::string DetectCharset(std::string_view bytes) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(
        uchardet_new(), uchardet_delete);
    if (!detector)
        return {};
    if (uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0)
        return {};
    uchardet_data_end(detector.get());
    const char* name = uchardet_get_charset(detector.get());
    return name != nullptr ? std::string(name) : std::string();
}

} // namespace orvalen
