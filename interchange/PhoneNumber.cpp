#include "PhoneNumber.h"

#include "TextUtil.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

namespace orvalen {
namespace {

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
        const char32_t c = SingleCodePoint(character).value_or(0xFFFD);
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

bool IsUriOtherThanTel(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2)
        return false;
    const std::string_view scheme = text.substr(0, colon);
    if (!std::isalpha(static_cast<unsigned char>(scheme.front())) ||
        !std::all_of(scheme.begin(), scheme.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
        }))
        return false;
    return !(scheme.size() == 3 && std::tolower(static_cast<unsigned char>(scheme[0])) == 't' &&
             std::tolower(static_cast<unsigned char>(scheme[1])) == 'e' &&
             std::tolower(static_cast<unsigned char>(scheme[2])) == 'l');
}

namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// A tel: URI's number and extension: "tel:+1-418-656-9254;ext=102" gives the two parts.
std::pair<std::string, std::string> SplitExtension(std::string_view number) {
    if (!StartsWithIgnoringCase(number, "tel:"))
        return {std::string(number), {}};
    number.remove_prefix(4);
    for (std::size_t at = number.find(';'); at != std::string_view::npos;
         at = number.find(';', at + 1)) {
        if (StartsWithIgnoringCase(number.substr(at + 1), "ext="))
            return {std::string(number.substr(0, at)), std::string(number.substr(at + 5))};
    }
    return {std::string(number), {}};
}

FittedNumber FitPlain(std::string number, std::size_t limit, const CCodePage& codePage) {
    FittedNumber fitted{std::move(number), false, false, false};
    if (CodePageSize(fitted.utf8, codePage) <= limit) {
        fitted.fits = true;
        return fitted;
    }
    std::string plain = UnformatNumber(fitted.utf8);
    if (CodePageSize(plain, codePage) <= limit)
        fitted = {std::move(plain), true, true, false};
    return fitted;
}

} // namespace

std::string TelUriNumber(std::string_view text) {
    bool uri = false;
    // Blanks around what the scheme holds are no part of the number ("tel: 123").
    text = Trim(text);
    while (StartsWithIgnoringCase(text, "tel:")) {
        text = Trim(text.substr(4));
        uri = true;
    }
    if (!uri)
        return std::string(text);
    // Text without the scheme is a dial string, whose ';' is a wait; in a URI it starts the
    // parameters (phone-context, isub), of which only the extension is kept.
    const auto semicolon = text.find(';');
    std::string number(text.substr(0, semicolon));
    std::string extension;
    std::string_view parameters =
        semicolon == std::string_view::npos ? std::string_view() : text.substr(semicolon + 1);
    while (!parameters.empty()) {
        const std::string_view parameter = parameters.substr(0, parameters.find(';'));
        if (StartsWithIgnoringCase(parameter, "ext=") && parameter.size() > 4)
            extension = parameter.substr(4);
        parameters.remove_prefix(std::min(parameters.size(), parameter.size() + 1));
    }
    // With an extension it stays a URI, so that FitNumber alone decides how it is dialled.
    return extension.empty() ? number : "tel:" + number + ";ext=" + extension;
}

FittedNumber FitNumber(std::string_view utf8, std::size_t limit, const CCodePage& codePage) {
    auto [number, extension] = SplitExtension(TelUriNumber(NormaliseNumber(utf8)));
    if (!extension.empty()) {
        FittedNumber withExtension = FitPlain(number + "," + extension, limit, codePage);
        if (withExtension.fits)
            return withExtension;
        FittedNumber without = FitPlain(number, limit, codePage);
        without.extensionLeftOut = without.fits;
        if (without.fits)
            return without;
        return withExtension;
    }
    return FitPlain(std::move(number), limit, codePage);
}

} // namespace orvalen
