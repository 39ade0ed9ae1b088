#pragma once

// The language the window's own texts are loaded in: the user's interface language
// (GetUserDefaultUILanguage), mapped by ChooseInterfaceLanguage to one we translate to; and the
// strings of that language's table (a LANGUAGE block written from res/translations), loaded by
// language rather than through the thread's UI language, which Wine's LoadString does not follow.

#include "InterfaceLanguage.h"

#include <windows.h>

#include <optional>
#include <string>

namespace orvalen::win32 {

// The Windows language of our translation: zh-CN, zh-TW or en-US.
LANGID WindowsLanguageOf(InterfaceLanguage language);
// The language of ours for the user's interface language.
LANGID UserInterfaceLanguage();
// String id of module's table in language; nullopt where that language's table lacks it.
std::optional<std::wstring> LoadStringIn(HMODULE module, UINT id, LANGID language);

} // namespace orvalen::win32
