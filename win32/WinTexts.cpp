#include "WinTexts.h"

#include "InterfaceLanguageWin32.h"
#include "WideText.h"

#include <windows.h>

#include <filesystem>
#include <vector>

namespace orvalen::win32 {
namespace {

// The language of ours for the user's interface language, chosen once at start-up.
LANGID g_language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// Which of a counted text's plural forms language uses for count, in the order of Qt's .ts
// files: Chinese has one form; English "1 place" and "0 places", "2 places" ...
int PluralForm(LANGID language, int count) {
    return PRIMARYLANGID(language) == LANG_CHINESE || count == 1 ? 0 : 1;
}

// The text from the table of the user's language; where that lacks it, from the neutral table
// written from the catalogue (which holds a counted text's source in its first form only); else
// the catalogue's own. Loaded by language, as Wine's LoadString does not follow the user's
// interface language.
std::string TranslateFromTable(const CText& text, int count) {
    HMODULE module = GetModuleHandleW(nullptr);
    const int form = count >= 0 ? PluralForm(g_language, count) : 0;
    const LANGID neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    std::string found = text.source;
    for (const LANGID language : {g_language, neutral}) {
        const int step = language == neutral ? 0 : kTextFormStep * form;
        if (const auto loaded =
                LoadStringIn(module, static_cast<UINT>(kTextIdBase + step + text.id), language)) {
            if (auto utf8 = Utf16ToUtf8(*loaded)) {
                found = std::move(*utf8);
                break;
            }
        }
    }
    return count >= 0 ? FormatCount(found, count) : found;
}

// Room for the program's path.
constexpr std::size_t kPathRoom = 32768;

} // namespace

// The caption of messages: the program's file name without its extension.
std::wstring ApplicationName() {
    std::vector<wchar_t> path(kPathRoom);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return L"Orvalen";
    const std::filesystem::path file(std::wstring(path.data(), length));
    return file.stem().wstring();
}

// A text from the system: UTF-8 when it is valid UTF-8, else the ANSI code page's bytes.
std::wstring SystemText(std::string_view text) {
    if (IsValidUtf8(text))
        return Utf8ToUtf16(text);
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
    return wide;
}

// An error with OK: text, and under it detail (the reason and the file).
void ShowFailure(HWND owner, std::string_view text, std::string_view detail) {
    std::wstring shown = Utf8ToUtf16(text);
    if (!detail.empty())
        shown += L"\n\n" + SystemText(detail);
    MessageBoxW(owner, shown.c_str(), ApplicationName().c_str(), MB_ICONHAND | MB_OK);
}

void InstallWin32Translator() {
    g_language = UserInterfaceLanguage();
    SetTextTranslator(&TranslateFromTable);
}

std::wstring WinText(const CText& text) {
    return Utf8ToUtf16(Tr(text));
}

} // namespace orvalen::win32
