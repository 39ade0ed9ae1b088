#pragma once

// The About box (dialog 100): fixed texts, closed by OK, Escape or its close box.

#include <windows.h>

namespace orvalen::win32 {

class CAboutDialog {
public:
    // Runs the box modally, owned by owner.
    static void Show(HINSTANCE instance, HWND owner);
};

} // namespace orvalen::win32
