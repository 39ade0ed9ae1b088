#include "PhoneNumber.h"

#include <optional>

namespace orvalen {
namespace {

char32_t DecodeUtf8(std::string_view character) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(character[i]); };
    switch (character.size()) {
    case 1:
        return byte(0);
    case 2:
        return (char32_t(byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    case 3:
        return (char32_t(byte(0) & 0x0F) << 12) | (char32_t(byte(1) & 0x3F) << 6) |
               (byte(2) & 0x3F);
    default:
        return (char32_t(byte(0) & 0x07) << 18) | (char32_t(byte(1) & 0x3F) << 12) |
               (char32_t(byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
    }
}

bool IsInvisibleMark(char32_t c) {
    return c == 0x00AD || c == 0x061C || c == 0x180E || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2064) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

// The ASCII character c stands for in a number, or nothing when it is its own.
std::optional<char> AsciiForm(char32_t c) {
    if (c == 0x00A0 || c == 0x2007 || c == 0x202F || c == 0x3000)
        return ' ';
    if ((c >= 0x2010 && c <= 0x2015) || c == 0x2212)
        return '-';
    // The full-width forms U+FF01..U+FF5E mirror ASCII 0x21..0x7E; only those a number uses.
    if (c >= 0xFF01 && c <= 0xFF5E) {
        const char ascii = static_cast<char>(c - 0xFF01 + 0x21);
        if ((ascii >= '0' && ascii <= '9') || ascii == '+' || ascii == '*' || ascii == '#' ||
            ascii == '(' || ascii == ')' || ascii == '-' || ascii == '.' || ascii == ',')
            return ascii;
    }
    return std::nullopt;
}

std::size_t CodePageSize(const std::string& utf8, const CCodePage& codePage) {
    const auto bytes = codePage.FromUtf8Replacing(utf8);
    return bytes ? bytes->size() : utf8.size();
}

} // namespace

std::string NormaliseNumber(std::string_view utf8) {
    std::string number;
    number.reserve(utf8.size());
    while (!utf8.empty()) {
        const std::size_t length = Utf8CharLength(utf8);
        if (length == 0) { // invalid bytes pass as they are; the conversion refuses them
            number += utf8.front();
            utf8.remove_prefix(1);
            continue;
        }
        const std::string_view character = utf8.substr(0, length);
        const char32_t c = DecodeUtf8(character);
        if (IsInvisibleMark(c)) {
        } else if (const auto ascii = AsciiForm(c)) {
            number += *ascii;
        } else {
            number += character;
        }
        utf8.remove_prefix(length);
    }
    return number;
}

std::string UnformatNumber(std::string_view number) {
    std::string digits;
    for (char c : number) {
        if (c != ' ' && c != '-' && c != '.' && c != '(' && c != ')')
            digits += c;
    }
    return digits;
}

FittedNumber FitNumber(std::string_view utf8, std::size_t limit, const CCodePage& codePage) {
    FittedNumber fitted{NormaliseNumber(utf8), false, false};
    if (CodePageSize(fitted.utf8, codePage) <= limit) {
        fitted.fits = true;
        return fitted;
    }
    std::string plain = UnformatNumber(fitted.utf8);
    if (CodePageSize(plain, codePage) <= limit)
        fitted = {std::move(plain), true, true};
    return fitted;
}

} // namespace orvalen
