#pragma once

// The Windows window's side of the text catalogue (app/Texts.h): each text comes from the
// string tables written at build time (kTextIdBase + its id): the one of the user's interface
// language (written from res/translations), else the neutral one written from the catalogue,
// else as the catalogue gives it.

#include "Texts.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace orvalen::win32 {

// Makes Tr() read the string table; once, at start-up.
void InstallWin32Translator();
std::wstring WinText(const CText& text);

// The caption of messages: the program's file name without its extension.
std::wstring ApplicationName();
// A text from the system (a reason, a path): UTF-8 when it is valid UTF-8, else the ANSI code
// page's bytes.
std::wstring SystemText(std::string_view text);
// An error with OK, owned by owner: text (ours, UTF-8), and under it detail from the system.
void ShowFailure(HWND owner, std::string_view text, std::string_view detail);

} // namespace orvalen::win32
