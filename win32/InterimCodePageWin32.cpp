// The encoding library's conversions on Windows, for as long as it has none of its own:
// MultiByteToWideChar and WideCharToMultiByte with the flags that refuse invalid input and
// report characters the target lacks, instead of '?' or a look-alike.
#include "CodePageRule.h"
#include "Conversion.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace orvalen {
namespace {

std::string Upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

// The Windows code page a name stands for: "CP936", "936", "WINDOWS-1252" or a common name;
// 0 when unknown.
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
    return IsValidCodePage(number) ? number : 0;
}

std::optional<std::wstring> ToWide(UINT codePage, std::string_view bytes, DWORD flags) {
    if (bytes.empty())
        return std::wstring();
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    if (MultiByteToWideChar(codePage, flags, bytes.data(), length, wide.data(), size) != size)
        return std::nullopt;
    return wide;
}

std::optional<std::string> FromWide(UINT codePage, std::wstring_view wide) {
    if (wide.empty())
        return std::string();
    const int length = static_cast<int>(wide.size());
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL defaulted = FALSE;
    BOOL* usedDefault = utf8 ? nullptr : &defaulted;
    const int size =
        WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, usedDefault);
    if (size <= 0 || defaulted)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), length, bytes.data(), size, nullptr,
                            usedDefault) != size ||
        defaulted)
        return std::nullopt;
    return bytes;
}

} // namespace

namespace detail {

std::optional<std::string> ConvertBytes(const std::string& to, const std::string& from,
                                        std::string_view input) {
    if (input.empty())
        return std::string();
    const UINT fromPage = CodePageNumber(from);
    const UINT toPage = CodePageNumber(to);
    if (fromPage == 0 || toPage == 0)
        return std::nullopt;
    const auto wide = ToWide(fromPage, input, MB_ERR_INVALID_CHARS);
    if (!wide)
        return std::nullopt;
    return FromWide(toPage, *wide);
}

std::optional<std::string> ConvertBytesLossy(const std::string& to, const std::string& from,
                                             std::string_view input) {
    const UINT fromPage = CodePageNumber(from);
    const UINT toPage = CodePageNumber(to);
    if (fromPage == 0 || toPage == 0)
        return std::nullopt;
    // Character by character: the longest run of up to four bytes that reads as one character,
    // else U+FFFD for the first byte.
    std::wstring wide;
    while (!input.empty()) {
        std::size_t taken = 0;
        for (std::size_t length = 1; length <= std::min<std::size_t>(4, input.size()); ++length) {
            if (const auto one = ToWide(fromPage, input.substr(0, length), MB_ERR_INVALID_CHARS)) {
                wide += *one;
                taken = length;
                break;
            }
        }
        if (taken == 0) {
            wide += L'\xFFFD';
            taken = 1;
        }
        input.remove_prefix(taken);
    }
    return FromWide(toPage, wide);
}

bool CanConvert(const std::string& name) {
    return CodePageNumber(name) != 0;
}

} // namespace detail

std::string TerminalCharset(const LocaleEnvironment&) {
    return "CP" + std::to_string(GetConsoleOutputCP() != 0 ? GetConsoleOutputCP() : GetACP());
}

} // namespace orvalen
