#include "CodePage.h"

// CCodePage for Windows builds whose encoding library converts nothing: the conversions use
// MultiByteToWideChar and WideCharToMultiByte with the flags that refuse invalid input and
// unmappable characters. The parts that need no system calls are those of the shared code.

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace orvalen {
namespace {

std::string Upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

// The Windows code page a name stands for: "CP936", "936", "windows-1252" or a common name.
UINT CodePageNumber(std::string_view name) {
    const std::string upper = Upper(name);
    static constexpr std::pair<std::string_view, UINT> kNamed[] = {
        {"UTF-8", CP_UTF8},  {"UTF8", CP_UTF8},     {"GBK", 936},
        {"GB2312", 936},     {"EUC-CN", 936},       {"GB18030", 54936},
        {"BIG5", 950},       {"SHIFT_JIS", 932},    {"SJIS", 932},
        {"EUC-KR", 949},     {"ISO-8859-1", 28591}, {"LATIN1", 28591},
        {"US-ASCII", 20127}, {"ASCII", 20127},      {"ANSI_X3.4-1968", 20127}};
    for (const auto& [known, number] : kNamed)
        if (upper == known)
            return number;
    std::string_view digits = upper;
    for (const std::string_view prefix : {"CP", "WINDOWS-"})
        if (digits.starts_with(prefix))
            digits.remove_prefix(prefix.size());
    UINT number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size())
        return 0;
    return number;
}

std::optional<std::wstring> ToWide(UINT codePage, std::string_view bytes) {
    const int length = static_cast<int>(bytes.size());
    const int size =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(),
                            size) != size)
        return std::nullopt;
    return wide;
}

std::optional<std::string> FromWide(UINT codePage, std::wstring_view wide) {
    const int length = static_cast<int>(wide.size());
    // UTF-8 and UTF-7 take no default character; the others report one that is missing.
    const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
    const DWORD flags =
        codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : (utf ? 0 : WC_NO_BEST_FIT_CHARS);
    BOOL defaulted = FALSE;
    BOOL* usedDefault = utf ? nullptr : &defaulted;
    const int size =
        WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, usedDefault);
    if (size <= 0 || defaulted)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), length, bytes.data(), size, nullptr,
                            usedDefault) != size ||
        defaulted)
        return std::nullopt;
    // The conversion back must give the same characters: no best-fit substitutes.
    const auto again = ToWide(codePage, bytes);
    if (!again || *again != wide)
        return std::nullopt;
    return bytes;
}

std::optional<std::string> Convert(const std::string& to, const std::string& from,
                                   std::string_view input) {
    if (input.empty())
        return std::string();
    const UINT fromPage = CodePageNumber(from);
    const UINT toPage = CodePageNumber(to);
    if (fromPage == 0 || toPage == 0)
        return std::nullopt;
    const auto wide = ToWide(fromPage, input);
    if (!wide)
        return std::nullopt;
    return FromWide(toPage, *wide);
}

} // namespace

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

std::optional<std::string> CCodePage::ToUtf8(std::string_view bytes) const {
    if (IsUtf8())
        return IsValidUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    return Convert("UTF-8", m_name, bytes);
}

std::string CCodePage::ToUtf8Lossy(std::string_view bytes) const {
    if (auto whole = ToUtf8(bytes))
        return *whole;
    // Convert the longest valid runs and mark each byte that no run can take.
    std::string result;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.size();
        std::optional<std::string> piece;
        for (; end > start; --end) {
            piece = ToUtf8(bytes.substr(start, end - start));
            if (piece)
                break;
        }
        if (end > start) {
            result += *piece;
            start = end;
        } else {
            result += "\xEF\xBF\xBD";
            ++start;
        }
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

std::optional<std::pair<unsigned char, unsigned char>> CCodePage::DoubleByteLeads() const {
    const std::string name = Upper(m_name);
    static constexpr std::string_view kEastAsian[] = {"GBK",    "GB2312",     "GB18030", "CP936",
                                                      "EUC-CN", "BIG5",       "CP950",   "CP949",
                                                      "EUC-KR", "WINDOWS-936"};
    if (std::find(std::begin(kEastAsian), std::end(kEastAsian), name) == std::end(kEastAsian))
        return std::nullopt;
    return std::pair<unsigned char, unsigned char>{0x81, 0xFE};
}

std::string CCodePage::SystemName() {
    return "CP" + std::to_string(GetACP());
}

bool CCodePage::IsAvailable() const {
    const UINT number = CodePageNumber(m_name);
    return number != 0 && IsValidCodePage(number);
}

} // namespace orvalen
