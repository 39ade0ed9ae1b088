#pragma once

#include "CodePageRule.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace orvalen {

// A multibyte code page (GBK, UTF-8, ...) and conversions between it and UTF-8.
// Phone-book texts are byte strings in the code page; windows and interchange files speak UTF-8.
// Which code page the player uses is decided by PlayerCodePageName (CodePageRule.h). The
// conversions are the platform's (CodePagePosix.cpp) and touch no locale state.
class CCodePage {
public:
    explicit CCodePage(std::string name);

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

    // For the name collation. Which bytes lead a double-byte character: none for UTF-8 and
    // single-byte code pages.
    std::array<bool, 256> LeadBytes() const;
    // Each byte that is a character by itself, mapped to its lower case (Unicode simple case
    // mapping) where the code page holds that as one byte too; every other byte to itself.
    std::array<unsigned char, 256> LowerCaseBytes() const;

private:
    std::string m_name;
};

// The player's code page by the rule of CodePageRule.h. A character set named by the locale that
// the system cannot convert gives way to the ANSI code page of the locale's language; an
// --encoding name is taken as it is (IsAvailable tells whether it is known).
CCodePage PlayerCodePage(const std::optional<std::string>& encodingOption,
                         const LocaleEnvironment& environment);

// Length in bytes of the UTF-8 character that starts text, or 0 when it is not valid UTF-8.
std::size_t Utf8CharLength(std::string_view text);
bool IsValidUtf8(std::string_view text);
// The one code point that utf8 holds, or nothing when it holds more or is not UTF-8.
std::optional<char32_t> SingleCodePoint(std::string_view utf8);
std::string EncodeUtf8(char32_t c);
// The Unicode simple lower-case mapping of the letters that the ANSI code pages hold.
char32_t SimpleLowerCase(char32_t c);

} // namespace orvalen
