#include "TextUtil.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace orvalen {
namespace {

// The code point of the UTF-8 character at the start of text; text must be valid UTF-8.
char32_t LeadingCodePoint(std::string_view text, std::size_t length) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (length == 1)
        return lead;
    char32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
        value = (value << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    return value;
}

// Scripts whose names are written family name first with no space between the parts.
bool IsEastAsian(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) || c >= 0x20000;
}

} // namespace

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const auto first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(kSpace);
    return text.substr(first, last - first + 1);
}

std::string ToUpper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ToUpper(a) == ToUpper(b);
}

bool HasEastAsianText(std::string_view utf8) {
    while (!utf8.empty()) {
        const std::size_t length = Utf8CharLength(utf8);
        if (length == 0) {
            utf8.remove_prefix(1);
            continue;
        }
        if (IsEastAsian(LeadingCodePoint(utf8, length)))
            return true;
        utf8.remove_prefix(length);
    }
    return false;
}

std::string JoinPersonName(std::string_view family, std::string_view given,
                           std::string_view middle) {
    family = Trim(family);
    given = Trim(given);
    middle = Trim(middle);
    const bool eastAsian =
        HasEastAsianText(family) || HasEastAsianText(given) || HasEastAsianText(middle);
    // 张 and 三 make 张三: a Chinese name split into parts is not turned round or spaced.
    if (eastAsian)
        return std::string(family) + std::string(given) + std::string(middle);
    std::string name;
    for (std::string_view part : {given, middle, family}) {
        if (part.empty())
            continue;
        if (!name.empty())
            name += ' ';
        name += part;
    }
    return name;
}

std::string DescribeFirstCharacter(std::string_view utf8) {
    const std::size_t length = Utf8CharLength(utf8);
    if (length == 0)
        return "an invalid byte";
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X",
                  static_cast<unsigned>(LeadingCodePoint(utf8, length)));
    std::string described = "\"";
    described.append(utf8.substr(0, length));
    described.append("\" (").append(code).append(")");
    return described;
}

} // namespace orvalen
