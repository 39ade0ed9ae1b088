#include "CodePage.h"

#include "CodePageRule.h"
#include "Conversion.h"

#include <algorithm>
#include <cctype>

namespace orvalen {
namespace {

std::string Upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

std::optional<std::string> Convert(const std::string& to, const std::string& from,
                                   std::string_view input) {
    return detail::ConvertBytes(to, from, input);
}

} // namespace

std::optional<char32_t> SingleCodePoint(std::string_view utf8) {
    const std::size_t length = Utf8CharLength(utf8);
    if (length == 0 || length != utf8.size())
        return std::nullopt;
    static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = static_cast<unsigned char>(utf8[0]) & kLeadMask[length];
    for (std::size_t i = 1; i < length; ++i)
        value = (value << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    return value;
}

std::string EncodeUtf8(char32_t c) {
    std::string result;
    if (c < 0x80) {
        result += static_cast<char>(c);
    } else if (c < 0x800) {
        result += static_cast<char>(0xC0 | (c >> 6));
        result += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        result += static_cast<char>(0xE0 | (c >> 12));
        result += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        result += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        result += static_cast<char>(0xF0 | (c >> 18));
        result += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        result += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        result += static_cast<char>(0x80 | (c & 0x3F));
    }
    return result;
}

std::size_t Utf8CharLength(std::string_view text) {
    if (text.empty())
        return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    char32_t min = 0;
    char32_t value = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

bool IsValidUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = Utf8CharLength(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

CCodePage::CCodePage(std::string name) : m_name(std::move(name)) {}

bool CCodePage::IsUtf8() const {
    const std::string name = Upper(m_name);
    return name == "UTF-8" || name == "UTF8";
}

CCodePage PlayerCodePage(const std::optional<std::string>& encodingOption,
                         const LocaleEnvironment& environment) {
    CCodePage codePage(PlayerCodePageName(encodingOption, environment));
    if (!encodingOption && !codePage.IsAvailable())
        return CCodePage(AnsiCodePageOfLocale(environment.LocaleName()));
    return codePage;
}

bool CCodePage::IsAvailable() const {
    return IsUtf8() || detail::CanConvert(m_name);
}

std::optional<std::string> CCodePage::ToUtf8(std::string_view bytes) const {
    if (IsUtf8())
        return IsValidUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    return Convert("UTF-8", m_name, bytes);
}

std::string CCodePage::ToUtf8Lossy(std::string_view bytes) const {
    if (auto whole = ToUtf8(bytes))
        return *whole;
    // One pass, marking each byte that starts no valid character: a long damaged text costs
    // no more than a long good one.
    if (!IsUtf8()) {
        if (auto converted = detail::ConvertBytesLossy("UTF-8", m_name, bytes))
            return std::move(*converted);
    }
    std::string result;
    while (!bytes.empty()) {
        const std::size_t length = Utf8CharLength(bytes);
        if (length == 0) {
            result += "\xEF\xBF\xBD";
            bytes.remove_prefix(1);
            continue;
        }
        result += bytes.substr(0, length);
        bytes.remove_prefix(length);
    }
    return result;
}

std::optional<std::string> CCodePage::FromUtf8(std::string_view utf8) const {
    if (!IsValidUtf8(utf8))
        return std::nullopt;
    if (IsUtf8())
        return std::string(utf8);
    return Convert(m_name, "UTF-8", utf8);
}

std::optional<std::string> CCodePage::FromUtf8Replacing(std::string_view utf8) const {
    auto fitted = FromUtf8Fitting(utf8, std::string::npos, true);
    if (!fitted)
        return std::nullopt;
    return std::move(fitted->bytes);
}

std::optional<CCodePage::Fitted>
CCodePage::FromUtf8Fitting(std::string_view utf8, std::size_t maxBytes, bool replace) const {
    if (!IsValidUtf8(utf8))
        return std::nullopt;
    Fitted result;
    if (auto whole = FromUtf8(utf8); whole && whole->size() <= maxBytes) {
        result.bytes = std::move(*whole);
        result.complete = true;
        return result;
    }
    while (!utf8.empty()) {
        const std::size_t length = Utf8CharLength(utf8);
        auto encoded = FromUtf8(utf8.substr(0, length));
        if (!encoded) {
            if (!replace)
                return std::nullopt;
            encoded = "?";
        }
        if (result.bytes.size() + encoded->size() > maxBytes)
            return result;
        result.bytes += *encoded;
        utf8.remove_prefix(length);
    }
    result.complete = true;
    return result;
}

std::array<bool, 256> CCodePage::LeadBytes() const {
    std::string name = Upper(m_name);
    std::erase_if(name, [](char c) { return c == '-' || c == '_'; });
    struct Leads {
        std::string_view names[6];
        unsigned char ranges[2][2];
    };
    // Shift_JIS leads in two ranges; between them lie single-byte katakana.
    static constexpr Leads kLeads[] = {
        {{"GBK", "CP936", "WINDOWS936", "GB2312", "EUCCN", "GB18030"}, {{0x81, 0xFE}, {1, 0}}},
        {{"BIG5", "CP950", "BIG5HKSCS", "WINDOWS950", "CP949", "UHC"}, {{0x81, 0xFE}, {1, 0}}},
        {{"EUCKR", "WINDOWS949"}, {{0x81, 0xFE}, {1, 0}}},
        {{"CP932", "SHIFTJIS", "SJIS", "WINDOWS31J", "MSKANJI", "CP943"},
         {{0x81, 0x9F}, {0xE0, 0xFC}}},
    };
    std::array<bool, 256> leads{};
    for (const Leads& row : kLeads) {
        if (std::find(std::begin(row.names), std::end(row.names), name) == std::end(row.names))
            continue;
        for (const auto& range : row.ranges) {
            for (int byte = range[0]; byte <= range[1]; ++byte)
                leads[static_cast<std::size_t>(byte)] = true;
        }
    }
    return leads;
}

std::array<unsigned char, 256> CCodePage::LowerCaseBytes() const {
    std::array<unsigned char, 256> lower{};
    for (std::size_t byte = 0; byte < lower.size(); ++byte)
        lower[byte] = static_cast<unsigned char>(byte);
    for (unsigned char letter = 'A'; letter <= 'Z'; ++letter)
        lower[letter] = static_cast<unsigned char>(letter + ('a' - 'A'));
    if (IsUtf8())
        return lower;
    // A byte above ASCII that stands alone for a letter, and whose lower case is one byte too.
    const std::array<bool, 256> leads = LeadBytes();
    for (std::size_t byte = 0x80; byte < lower.size(); ++byte) {
        if (leads[byte])
            continue;
        const auto letter = SingleCodePoint(
            ToUtf8(std::string(1, static_cast<char>(byte))).value_or(std::string()));
        if (!letter || SimpleLowerCase(*letter) == *letter)
            continue;
        const auto folded = FromUtf8(EncodeUtf8(SimpleLowerCase(*letter)));
        if (folded && folded->size() == 1)
            lower[byte] = static_cast<unsigned char>((*folded)[0]);
    }
    return lower;
}

char32_t SimpleLowerCase(char32_t c) {
    // Blocks where capital and small letters alternate, capital first.
    const auto alternating = [c](char32_t first, char32_t last) {
        return c >= first && c <= last && (c - first) % 2 == 0;
    };
    if (c >= 'A' && c <= 'Z')
        return c + 0x20;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c == 0x130)
        return 'i';
    if (c == 0x178)
        return 0xFF;
    if (alternating(0x100, 0x12F) || alternating(0x132, 0x137) || alternating(0x14A, 0x177) ||
        alternating(0x1A0, 0x1A1) || alternating(0x460, 0x481) || alternating(0x48A, 0x4BF) ||
        alternating(0x4D0, 0x52F) || alternating(0x1E00, 0x1E95) || alternating(0x1EA0, 0x1EFF))
        return c + 1;
    if (c == 0x1AF)
        return 0x1B0;
    if ((c >= 0x139 && c <= 0x148 && c % 2 == 1) || (c >= 0x179 && c <= 0x17E && c % 2 == 1) ||
        (c >= 0x4C1 && c <= 0x4CE && c % 2 == 1))
        return c + 1;
    if (c == 0x4C0)
        return 0x4CF;
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return c + 0x25;
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return c + 0x3F;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    return c;
}

} // namespace orvalen
