#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orvalen::fuzz {

// Loads bytes as a .tel file through "Load" in a headless window, over a phone book that
// already holds contacts, and checks what must hold whatever the bytes are: a refused file
// leaves the phone book exactly as it was; an accepted one gives a sorted list as long as the
// table, each entry standing for its own contact, and saving it, loading that and saving again
// gives the same contacts and the same bytes. Files go into folder. Returns what broke.
//
// Byte 5 of the header is reserved and never read, so it picks the code page: odd for GBK's
// double-byte leads, even for none. The fuzzer thus explores both collations.
std::optional<std::string> CheckTelLoad(std::string_view bytes,
                                        const std::filesystem::path& folder);

} // namespace orvalen::fuzz
