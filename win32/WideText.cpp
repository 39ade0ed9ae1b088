#include "WideText.h"

#include <windows.h>

namespace orvalen::win32 {
namespace {

// Length in UTF-16 units of the character at i, a surrogate pair counting as one.
std::size_t CharLength(std::wstring_view text, std::size_t i) {
    const auto unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF)
        return 2;
    return 1;
}

} // namespace

std::optional<std::string> Utf16ToUtf8(std::wstring_view text) {
    if (text.empty())
        return std::string();
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length,
                                         nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::nullopt;
    std::string result(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, result.data(), size,
                            nullptr, nullptr) != size)
        return std::nullopt;
    return result;
}

std::wstring Utf8ToUtf16(std::string_view text) {
    if (text.empty())
        return std::wstring();
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, result.data(), size);
    return result;
}

std::wstring CWideCodec::ToDisplay(std::string_view bytes) const {
    return Utf8ToUtf16(m_codePage.ToUtf8Lossy(bytes));
}

std::optional<std::string> CWideCodec::ToBytes(std::wstring_view text) const {
    const auto utf8 = Utf16ToUtf8(text);
    if (!utf8)
        return std::nullopt;
    return m_codePage.FromUtf8(*utf8);
}

std::string CWideCodec::ToBytesReplacing(std::wstring_view text) const {
    std::string result;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = CharLength(text, i);
        const auto utf8 = Utf16ToUtf8(text.substr(i, length));
        const auto bytes = utf8 ? m_codePage.FromUtf8Replacing(*utf8) : std::nullopt;
        result += bytes ? *bytes : std::string("?");
        i += length;
    }
    return result;
}

std::optional<std::wstring> CWideCodec::Fit(std::wstring_view text, std::size_t maxBytes) const {
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = CharLength(text, i);
        const auto bytes = ToBytes(text.substr(i, length));
        if (!bytes)
            return std::nullopt;
        if (used + bytes->size() > maxBytes)
            break;
        used += bytes->size();
        i += length;
    }
    return std::wstring(text.substr(0, i));
}

} // namespace orvalen::win32
