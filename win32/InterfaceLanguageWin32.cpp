#include "InterfaceLanguageWin32.h"

#include <string>
#include <vector>

namespace orvalen::win32 {

LANGID WindowsLanguageOf(InterfaceLanguage language) {
    switch (language) {
    case InterfaceLanguage::simplifiedChinese:
        return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    case InterfaceLanguage::traditionalChinese:
        return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);
    case InterfaceLanguage::english:
        break;
    }
    return MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

LANGID UserInterfaceLanguage() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    std::vector<std::string> preferred;
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name,
                         LOCALE_NAME_MAX_LENGTH, 0) > 0) {
        // Locale names are ASCII ("zh-HK").
        std::string ascii;
        for (const wchar_t* c = name; *c != L'\0'; ++c)
            ascii += static_cast<char>(*c < 0x80 ? *c : '?');
        preferred.push_back(ascii);
    }
    return WindowsLanguageOf(ChooseInterfaceLanguage(preferred));
}

// A string table resource holds sixteen strings, each its length in UTF-16 units and then
// those units; string id is entry id % 16 of bundle id / 16 + 1.
std::optional<std::wstring> LoadStringIn(HMODULE module, UINT id, LANGID language) {
    HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(6) /* RT_STRING */,
                                  MAKEINTRESOURCEW(id / 16 + 1), language);
    if (found == nullptr)
        return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const auto* entry = static_cast<const WCHAR*>(LockResource(loaded));
    if (entry == nullptr)
        return std::nullopt;
    const WCHAR* const end = entry + SizeofResource(module, found) / sizeof(WCHAR);
    for (UINT i = 0; i < id % 16; ++i) {
        if (entry >= end)
            return std::nullopt;
        entry += 1 + *entry;
    }
    if (entry >= end || *entry == 0 || entry + 1 + *entry > end)
        return std::nullopt;
    return std::wstring(entry + 1, *entry);
}

} // namespace orvalen::win32
