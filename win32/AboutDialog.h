#pragma once

// The About box (dialog 100): fixed texts and the line that names the player's code page,
// closed by OK, Escape or its close box.

#include <windows.h>

#include <string_view>

namespace orvalen::win32 {

class CAboutDialog {
public:
    // Runs the box modally, owned by owner; codePageLine is UTF-8.
    static void Show(HINSTANCE instance, HWND owner, std::string_view codePageLine);
};

} // namespace orvalen::win32
