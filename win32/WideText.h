#pragma once

// Conversions between the window's UTF-16 texts and the phone book's code-page bytes.
// Windows-only: the conversions to and from UTF-8 use the Windows API, the rest goes through
// CCodePage so that both windows treat bytes alike.

#include "CodePage.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvalen::win32 {

// Nothing when text is not valid UTF-16 (a lone surrogate).
std::optional<std::string> Utf16ToUtf8(std::wstring_view text);
// Invalid UTF-8 becomes U+FFFD.
std::wstring Utf8ToUtf16(std::string_view text);

class CWideCodec {
public:
    explicit CWideCodec(CCodePage codePage) : m_codePage(std::move(codePage)) {}

    const CCodePage& CodePage() const { return m_codePage; }

    // For display: bytes the code page cannot read show as replacement marks.
    std::wstring ToDisplay(std::string_view bytes) const;
    // Nothing when the text holds a character the code page cannot hold.
    std::optional<std::string> ToBytes(std::wstring_view text) const;
    // As ToBytes, but such a character becomes '?'.
    std::string ToBytesReplacing(std::wstring_view text) const;
    // The leading whole characters of text that take at most maxBytes; nothing when one of
    // them cannot be held. Stops measuring at the limit, so a huge paste costs little.
    std::optional<std::wstring> Fit(std::wstring_view text, std::size_t maxBytes) const;

private:
    CCodePage m_codePage;
};

} // namespace orvalen::win32
