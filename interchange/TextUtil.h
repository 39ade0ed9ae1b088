#pragma once

// Small text helpers of the readers: blanks trimmed, ASCII case, and names joined from their
// parts as the person's script writes them. Texts are UTF-8; invalid bytes are passed over.

#include "CodePage.h"

#include <string>
#include <string_view>

namespace orvalen {

std::string_view Trim(std::string_view text);
std::string ToUpper(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// True when the UTF-8 text holds Chinese, Japanese or Korean characters.
bool HasEastAsianText(std::string_view utf8);

// A full name from its parts, as the person would write it: "Given Middle Family" for names in
// Latin letters, family name first and unspaced for Chinese, Japanese and Korean names.
std::string JoinPersonName(std::string_view family, std::string_view given,
                           std::string_view middle = {});

// The first character of the UTF-8 text and its code point, e.g. "€" (U+20AC), for messages.
std::string DescribeFirstCharacter(std::string_view utf8);

} // namespace orvalen
