#pragma once

// The Windows program: takes the player's code page (the one --encoding names, else the
// ANSI code page), then runs the phone-book window until it closes. No other argument changes
// what it does.

#include "CodePage.h"

#include <windows.h>

#include <optional>
#include <string>

namespace orvalen::win32 {

class CContactsApp {
public:
    explicit CContactsApp(HINSTANCE instance) : m_instance(instance) {}

    // The program's exit code: 0, or 2 when --encoding names a code page Windows lacks.
    int Run();

    // The ANSI code page; where Windows is set to UTF-8 for every program, the ANSI code page
    // of the user's language instead, which is what the players read.
    static std::string DefaultCodePageName();

    // The value of --encoding NAME or --encoding=NAME in a command line, if any.
    static std::optional<std::wstring> EncodingArgument(const wchar_t* commandLine);

private:
    HINSTANCE m_instance;
};

} // namespace orvalen::win32
