// Conversions through the Windows code pages (MultiByteToWideChar and WideCharToMultiByte):
// Windows has no iconv. Both directions are strict: an invalid byte sequence, or a character
// the target code page lacks, fails the whole conversion instead of becoming '?' or a
// look-alike ("best fit") character.
#include "CodePage.h"
#include "CodePageRule.h"
#include "Conversion.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <string_view>
#include <utility>

#include <windows.h>

namespace orvalen {
namespace {

constexpr UINT kGb18030 = 54936;

std::string Upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

// The Windows code page of a character-set name as iconv and the --encoding option spell it:
// "CP936", "WINDOWS-1252", the usual names of the East Asian ones, "UTF-8". 0 when unknown.
UINT CodePageNumber(std::string_view name) {
    const std::string upper = Upper(name);
    struct Named {
        std::string_view name;
        UINT number;
    };
    static constexpr Named kNamed[] = {
        {"UTF-8", CP_UTF8},
        {"UTF8", CP_UTF8},
        {"GBK", 936},
        {"GB2312", 936},
        {"EUC-CN", 936},
        {"GB18030", kGb18030},
        {"BIG5", 950},
        {"BIG-5", 950},
        {"SHIFT_JIS", 932},
        {"SJIS", 932},
        {"EUC-KR", 949},
        {"UHC", 949},
        {"KOI8-R", 20866},
        {"KOI8-U", 21866},
        {"US-ASCII", 20127},
        {"ASCII", 20127},
        {"ANSI_X3.4-1968", 20127},
        {"LATIN1", 28591},
        {"ISO-8859-1", 28591},
        {"ISO-8859-2", 28592},
        {"ISO-8859-5", 28595},
        {"ISO-8859-7", 28597},
        {"ISO-8859-15", 28605},
        {"TIS-620", 874},
    };
    for (const Named& entry : kNamed) {
        if (entry.name == upper)
            return entry.number;
    }
    // "CP936", "WINDOWS-936", "MS936": the number itself.
    for (std::string_view prefix : {"CP", "WINDOWS-", "MS"}) {
        if (upper.size() > prefix.size() && upper.compare(0, prefix.size(), prefix) == 0) {
            const std::string digits = upper.substr(prefix.size());
            if (digits.size() > 5 || !std::all_of(digits.begin(), digits.end(),
                                                  [](char c) { return c >= '0' && c <= '9'; }))
                return 0;
            return static_cast<UINT>(std::stoul(digits));
        }
    }
    return 0;
}

// Code pages whose conversions take no flags at all (ISO-2022 and the like): refused, since
// they cannot be told to reject invalid input.
bool TakesFlags(UINT codePage) {
    return !(codePage == 42 || codePage == 65000 || (codePage >= 50220 && codePage <= 50229) ||
             (codePage >= 57002 && codePage <= 57011));
}

// A character set: a Windows code page, or one of the UTF-16 and UTF-32 forms that byte order
// marks name, which the code-page functions do not take.
struct CCharset {
    enum class Form { codePage, utf16, utf32 };
    Form form = Form::codePage;
    UINT codePage = 0;
    bool bigEndian = false;

    static std::optional<CCharset> Named(std::string_view name) {
        const std::string upper = Upper(name);
        for (const auto& [unitName, form] :
             {std::pair<std::string_view, Form>{"UTF-16", Form::utf16}, {"UTF-32", Form::utf32}}) {
            if (upper == std::string(unitName) + "LE" || upper == std::string(unitName) + "BE")
                return CCharset{form, 0, upper.ends_with("BE")};
        }
        UINT codePage = CodePageNumber(name);
        // Wine lacks GB18030 (54936); GBK is its two-byte part, so through it nothing is
        // converted wrongly: only the characters beyond GBK are refused.
        if (codePage == kGb18030 && IsValidCodePage(kGb18030) == 0)
            codePage = 936;
        if (codePage == 0 || !TakesFlags(codePage) || IsValidCodePage(codePage) == 0)
            return std::nullopt;
        return CCharset{Form::codePage, codePage, false};
    }
};

std::size_t UnitSize(const CCharset& charset) {
    return charset.form == CCharset::Form::utf16 ? 2 : 4;
}

char32_t ReadUnit(std::string_view bytes, std::size_t at, std::size_t size, bool bigEndian) {
    char32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[at + (bigEndian ? i : size - 1 - i)]);
        value = (value << 8) | byte;
    }
    return value;
}

void AppendUnit(std::string& bytes, char32_t value, std::size_t size, bool bigEndian) {
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t shift = 8 * (bigEndian ? size - 1 - i : i);
        bytes += static_cast<char>((value >> shift) & 0xFF);
    }
}

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// UTF-16 and UTF-32 to wide characters; lone surrogates are left for FromWide to refuse.
std::optional<std::wstring> UnitsToWide(const CCharset& charset, std::string_view bytes) {
    const std::size_t size = UnitSize(charset);
    if (bytes.size() % size != 0)
        return std::nullopt;
    std::wstring wide;
    for (std::size_t at = 0; at < bytes.size(); at += size) {
        const char32_t c = ReadUnit(bytes, at, size, charset.bigEndian);
        if (size == 2 || c < 0x10000) {
            if (c > 0x10FFFF || (size == 4 && IsSurrogate(c)))
                return std::nullopt;
            wide += static_cast<wchar_t>(c);
        } else if (c <= 0x10FFFF) {
            wide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            return std::nullopt;
        }
    }
    return wide;
}

std::optional<std::string> WideToUnits(const CCharset& charset, const std::wstring& wide) {
    const std::size_t size = UnitSize(charset);
    std::string bytes;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = static_cast<char16_t>(wide[i]);
        if (IsSurrogate(c)) {
            const bool paired =
                c < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF;
            if (!paired)
                return std::nullopt;
            if (size == 4) {
                c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(wide[i + 1]) - 0xDC00);
                ++i;
            }
        }
        AppendUnit(bytes, c, size, charset.bigEndian);
    }
    return bytes;
}

std::optional<std::wstring> ToWide(const CCharset& charset, std::string_view bytes) {
    if (charset.form != CCharset::Form::codePage)
        return UnitsToWide(charset, bytes);
    if (bytes.size() > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    const UINT codePage = charset.codePage;
    const int inLength = static_cast<int>(bytes.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), inLength, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), inLength, wide.data(),
                            length) != length)
        return std::nullopt;
    return wide;
}

std::optional<std::string> FromWide(const CCharset& charset, const std::wstring& wide) {
    if (charset.form != CCharset::Form::codePage)
        return WideToUnits(charset, wide);
    if (wide.size() > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    const UINT codePage = charset.codePage;
    const int inLength = static_cast<int>(wide.size());
    // UTF-8 and GB18030 hold every character: they only refuse lone surrogates. The others
    // report through usedDefault a character they could only replace.
    const bool unicode = codePage == CP_UTF8 || codePage == kGb18030;
    const DWORD flags = unicode ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = unicode ? nullptr : &usedDefault;
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), inLength, nullptr, 0,
                                           nullptr, usedDefaultOut);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), inLength, bytes.data(), length, nullptr,
                            usedDefaultOut) != length ||
        usedDefault)
        return std::nullopt;
    return bytes;
}

} // namespace

namespace detail {

std::optional<std::string> ConvertBytes(const std::string& to, const std::string& from,
                                        std::string_view input) {
    if (input.empty())
        return std::string();
    const auto toCharset = CCharset::Named(to);
    const auto fromCharset = CCharset::Named(from);
    if (!toCharset || !fromCharset)
        return std::nullopt;
    const auto wide = ToWide(*fromCharset, input);
    if (!wide)
        return std::nullopt;
    return FromWide(*toCharset, *wide);
}

std::optional<std::string> ConvertBytesLossy(const std::string& to, const std::string& from,
                                             std::string_view input) {
    const auto toCharset = CCharset::Named(to);
    const auto fromCharset = CCharset::Named(from);
    if (!toCharset || !fromCharset)
        return std::nullopt;
    if (const auto whole = ToWide(*fromCharset, input))
        return FromWide(*toCharset, *whole);
    if (fromCharset->form != CCharset::Form::codePage)
        return std::nullopt;
    // Character by character: a lead byte and its trail where the code page has double-byte
    // characters, else one byte; what does not convert becomes U+FFFD, one byte at a time.
    const UINT codePage = fromCharset->codePage;
    std::wstring wide;
    std::size_t at = 0;
    while (at < input.size()) {
        const bool lead = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(input[at])) != 0;
        const std::size_t length = lead && at + 1 < input.size() ? 2 : 1;
        if (const auto piece = ToWide(*fromCharset, input.substr(at, length))) {
            wide += *piece;
            at += length;
        } else {
            wide += L'\uFFFD';
            ++at;
        }
    }
    return FromWide(*toCharset, wide);
}

bool CanConvert(const std::string& name) {
    return CCharset::Named(name).has_value();
}

} // namespace detail

LocaleEnvironment LocaleEnvironment::OfProcess() {
    // "zh-CN" as Windows names the user's locale; "zh_CN" as the rule reads it.
    wchar_t wide[LOCALE_NAME_MAX_LENGTH] = {};
    std::string name;
    if (GetUserDefaultLocaleName(wide, LOCALE_NAME_MAX_LENGTH) > 0) {
        for (const wchar_t* c = wide; *c != L'\0' && *c < 0x80; ++c)
            name += *c == L'-' ? '_' : static_cast<char>(*c);
    }
    LocaleEnvironment environment;
    environment.lang = name + ".CP" + std::to_string(GetACP());
    return environment;
}

std::string TerminalCharset(const LocaleEnvironment& environment) {
    // The process's own locale names the ANSI code page, which is what Windows programs read
    // from a file or a pipe; without one, the console's output code page.
    const std::string charset = LocaleCharset(environment.LocaleName());
    if (!charset.empty())
        return charset;
    const UINT console = GetConsoleOutputCP();
    return "CP" + std::to_string(console != 0 ? console : GetACP());
}

} // namespace orvalen
