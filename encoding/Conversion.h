#pragma once

// The platform's conversion between named character sets, used by CCodePage. Each platform
// provides these in a file of its own (CodePagePosix.cpp: iconv).

#include <optional>
#include <string>
#include <string_view>

namespace orvalen::detail {

// Converts all of input; nothing on an invalid or unconvertible sequence, or an unknown name.
std::optional<std::string> ConvertBytes(const std::string& to, const std::string& from,
                                        std::string_view input);
// Converts all of input in one pass; each byte that starts no valid sequence becomes U+FFFD.
// Nothing when the platform lacks either character set.
std::optional<std::string> ConvertBytesLossy(const std::string& to, const std::string& from,
                                             std::string_view input);
// Whether the platform converts between the named character set and UTF-8 both ways.
bool CanConvert(const std::string& name);

} // namespace orvalen::detail
