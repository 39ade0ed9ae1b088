#include "CodePageRule.h"

#include <algorithm>
#include <cctype>

namespace orvalen {
namespace {

// Upper case without '-' and '_', so "utf8", "UTF-8" and "Utf_8" compare alike.
std::string Canonical(std::string_view name) {
    std::string result;
    for (const char c : name) {
        if (c != '-' && c != '_')
            result += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return result;
}

struct LanguageCodePage {
    std::string_view language; // "zh_CN" matches language and territory, "ru" the language
    std::string_view codePage;
};

// Territories first: the first row whose language (and territory, when given) matches wins.
constexpr LanguageCodePage kAnsiCodePages[] = {
    {"zh_CN", "GBK"}, {"zh_SG", "GBK"}, {"zh_TW", "CP950"}, {"zh_HK", "CP950"}, {"zh_MO", "CP950"},
    {"zh", "GBK"},    {"ja", "CP932"},  {"ko", "CP949"},    {"ru", "CP1251"},   {"uk", "CP1251"},
    {"be", "CP1251"}, {"bg", "CP1251"}, {"mk", "CP1251"},   {"sr", "CP1251"},   {"cs", "CP1250"},
    {"pl", "CP1250"}, {"hu", "CP1250"}, {"sk", "CP1250"},   {"sl", "CP1250"},   {"hr", "CP1250"},
    {"ro", "CP1250"}, {"sq", "CP1250"}, {"bs", "CP1250"},   {"el", "CP1253"},   {"tr", "CP1254"},
    {"az", "CP1254"}, {"he", "CP1255"}, {"ar", "CP1256"},   {"fa", "CP1256"},   {"ur", "CP1256"},
    {"et", "CP1257"}, {"lv", "CP1257"}, {"lt", "CP1257"},   {"vi", "CP1258"},   {"th", "CP874"},
};

} // namespace

std::string_view LocaleEnvironment::LocaleName() const {
    if (!lcAll.empty())
        return lcAll;
    if (!lcCtype.empty())
        return lcCtype;
    return lang;
}

std::string LocaleCharset(std::string_view localeName) {
    localeName = localeName.substr(0, localeName.find('@'));
    const std::size_t dot = localeName.find('.');
    return dot == std::string_view::npos ? std::string() : std::string(localeName.substr(dot + 1));
}

bool IsUtf8Charset(std::string_view charset) {
    // Windows set to use UTF-8 for every program names its ANSI code page CP65001.
    const std::string name = Canonical(charset);
    return name == "UTF8" || name == "CP65001";
}

bool IsAsciiCharset(std::string_view charset) {
    const std::string name = Canonical(charset);
    return name == "ASCII" || name == "USASCII" || name == "ANSIX3.41968" || name == "646";
}

std::string AnsiCodePageOfLocale(std::string_view localeName) {
    // "language[_territory][.charset][@modifier]"
    const std::string_view base = localeName.substr(0, localeName.find_first_of(".@"));
    const std::string_view language = base.substr(0, base.find('_'));
    for (const LanguageCodePage& row : kAnsiCodePages) {
        if (row.language == base || row.language == language)
            return std::string(row.codePage);
    }
    return "CP1252";
}

std::string PlayerCodePageName(const std::optional<std::string>& encodingOption,
                               const LocaleEnvironment& environment) {
    if (encodingOption)
        return *encodingOption;
    const std::string_view locale = environment.LocaleName();
    const std::string charset = LocaleCharset(locale);
    if (!charset.empty() && !IsUtf8Charset(charset) && !IsAsciiCharset(charset))
        return charset;
    return AnsiCodePageOfLocale(locale);
}

} // namespace orvalen
