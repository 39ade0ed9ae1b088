#pragma once

// Which code page the player's texts are in, decided the same way by the window and by
// orvalen-tel: the --encoding name if given; else the character set named in the locale, when
// it is neither UTF-8 nor plain ASCII; else the ANSI code page that Windows assigns to the
// locale's language and territory (GBK for zh_CN, CP1251 for ru, CP1252 for C and the rest).
// It decides from the locale's name alone, so it holds where that locale is not installed, and
// it changes no process state.

#include <optional>
#include <string>
#include <string_view>

namespace orvalen {

// The locale variables of an environment, each empty when unset.
struct LocaleEnvironment {
    std::string lcAll;
    std::string lcCtype;
    std::string lang;

    // This process's locale (platform code): its variables on POSIX systems; on Windows the
    // user's language with the ANSI code page as its character set ("zh_CN.CP936"), whatever
    // the variables a Unix-like shell may have set.
    static LocaleEnvironment OfProcess();
    // LC_ALL, else LC_CTYPE, else LANG: the first that is set and not empty.
    std::string_view LocaleName() const;
};

// The character set part of a locale name ("GBK" of "zh_CN.GBK@x"); empty when there is none.
std::string LocaleCharset(std::string_view localeName);
bool IsUtf8Charset(std::string_view charset);
bool IsAsciiCharset(std::string_view charset);

// The ANSI code page of the locale's language and territory, as Windows assigns them.
std::string AnsiCodePageOfLocale(std::string_view localeName);

// The player's code page by the rule above; encodingOption is the --encoding name, if given.
std::string PlayerCodePageName(const std::optional<std::string>& encodingOption,
                               const LocaleEnvironment& environment);

// The character set to write text for the user's terminal in (platform code).
std::string TerminalCharset(const LocaleEnvironment& environment);

} // namespace orvalen
