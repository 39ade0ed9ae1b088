#include "ContactsApp.h"

#include "MainDialog.h"
#include "WideText.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string_view>

namespace orvalen::win32 {

std::optional<std::wstring> CContactsApp::EncodingArgument(const wchar_t* commandLine) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> arguments(
        CommandLineToArgvW(commandLine, &count), &LocalFree);
    if (!arguments)
        return std::nullopt;
    constexpr std::wstring_view kOption = L"--encoding";
    std::optional<std::wstring> encoding;
    for (int i = 1; i < count; ++i) {
        const std::wstring_view argument = arguments.get()[i];
        if (argument == kOption && i + 1 < count)
            encoding = arguments.get()[++i];
        else if (argument.starts_with(kOption) && argument.size() > kOption.size() &&
                 argument[kOption.size()] == L'=')
            encoding = std::wstring(argument.substr(kOption.size() + 1));
    }
    return encoding;
}

int CContactsApp::Run() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    std::optional<std::string> option;
    if (const auto argument = EncodingArgument(GetCommandLineW()))
        option = Utf16ToUtf8(*argument).value_or(std::string());
    CCodePage codePage = PlayerCodePage(option, LocaleEnvironment::OfProcess());
    const std::string& name = codePage.Name();
    if (!codePage.IsAvailable()) {
        const std::wstring text = L"Unknown code page \"" + Utf8ToUtf16(name) +
                                  L"\" given with --encoding; try --encoding GBK.";
        MessageBoxW(nullptr, text.c_str(), L"Orvalen", MB_ICONHAND | MB_OK);
        return 2;
    }

    CMainDialog dialog(m_instance, std::move(codePage));
    if (!dialog.Create())
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (dialog.PreTranslate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

} // namespace orvalen::win32
