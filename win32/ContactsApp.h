#pragma once

// The Windows program: takes the ANSI code page (or the one --encoding names), then runs the
// phone-book window until it closes. No other argument changes what it does.

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

    // The value of --encoding NAME or --encoding=NAME in a command line, if any.
    static std::optional<std::wstring> EncodingArgument(const wchar_t* commandLine);

private:
    HINSTANCE m_instance;
};

} // namespace orvalen::win32
