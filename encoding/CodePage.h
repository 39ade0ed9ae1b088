#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace orvalen {

// A multibyte code page (GBK, UTF-8, ...) and conversions between it and UTF-8.
// Phone-book texts are byte strings in the code page; windows and interchange files speak UTF-8.
class CCodePage {
public:
    explicit CCodePage(std::string name);

    // The code page of this system: the ANSI code page on Windows, the locale's character set
    // elsewhere. Calls setlocale(LC_ALL, ""), so call it once at start-up.
    static std::string SystemName();

    const std::string& Name() const { return m_name; }
    bool IsAvailable() const;
    bool IsUtf8() const;

    // Strict: nothing when the bytes are not valid in the code page.
    std::optional<std::string> ToUtf8(std::string_view bytes) const;
    // For display: invalid bytes become U+FFFD, the rest is converted.
    std::string ToUtf8Lossy(std::string_view bytes) const;
    // Strict: nothing when the text is not UTF-8 or holds a character the code page lacks.
    std::optional<std::string> FromUtf8(std::string_view utf8) const;
    // As FromUtf8, but a character the code page lacks becomes '?'. Invalid UTF-8 still fails.
    std::optional<std::string> FromUtf8Replacing(std::string_view utf8) const;

    struct Fitted {
        std::string bytes;     // whole characters only
        bool complete = false; // every character fitted
    };
    // The longest run of whole leading characters whose encoding fits in maxBytes.
    // Nothing when a character cannot be encoded (and replace is off) or utf8 is invalid.
    std::optional<Fitted> FromUtf8Fitting(std::string_view utf8, std::size_t maxBytes,
                                          bool replace = false) const;

    // The bytes that lead a double-byte character, for the name collation; nothing for UTF-8
    // and single-byte code pages.
    std::optional<std::pair<unsigned char, unsigned char>> DoubleByteLeads() const;

private:
    std::string m_name;
};

// Length in bytes of the UTF-8 character that starts text, or 0 when it is not valid UTF-8.
std::size_t Utf8CharLength(std::string_view text);
bool IsValidUtf8(std::string_view text);

} // namespace orvalen
