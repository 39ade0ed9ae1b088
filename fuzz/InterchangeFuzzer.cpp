// libFuzzer targets: any bytes given to the vCard reader (VCARD defined) or the CSV reader.

#include "InterchangeCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
#if defined(ORVALEN_FUZZ_VCARD)
    constexpr auto kFormat = orvalen::fuzz::InterchangeFormat::vcard;
#else
    constexpr auto kFormat = orvalen::fuzz::InterchangeFormat::csv;
#endif
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto broken = orvalen::fuzz::CheckInterchangeRead(kFormat, bytes)) {
        std::fprintf(stderr, "property broken: %s\n", broken->c_str());
        std::abort();
    }
    return 0;
}
