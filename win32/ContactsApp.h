#pragma once

// The Windows program: takes the player's code page (the one --encoding names, else the one
// of the user's language and ANSI code page, as the code-page rule says), then runs the
// phone-book window until it closes. No other argument changes what it does.

#include "CodePage.h"
#include "CodePageRule.h"

#include <windows.h>

#include <optional>
#include <string>

namespace orvalen::win32 {

class CContactsApp {
public:
    explicit CContactsApp(HINSTANCE instance) : m_instance(instance) {}

    // The program's exit code: 0, or 2 when --encoding names a code page Windows lacks.
    int Run();

private:
    HINSTANCE m_instance;
};

} // namespace orvalen::win32
