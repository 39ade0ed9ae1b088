#pragma once

// File names as UTF-8 text, the same on every system. Arguments, messages and reports carry
// names as UTF-8; std::filesystem's plain string conversions would use the ANSI code page on
// Windows, which cannot hold every name. On POSIX systems the bytes pass unchanged.

#include <filesystem>
#include <string>
#include <string_view>

namespace orvalen {

inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace orvalen
