#include "ContactsApp.h"

#include "MainDialog.h"
#include "MainPresenter.h"
#include "WideText.h"
#include "WinTexts.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace orvalen::win32 {

namespace {

// The command line's arguments after the program's name, in UTF-8.
std::vector<std::string> Arguments(const wchar_t* commandLine) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> arguments(
        CommandLineToArgvW(commandLine, &count), &LocalFree);
    std::vector<std::string> utf8;
    for (int i = 1; arguments && i < count; ++i)
        utf8.push_back(Utf16ToUtf8(arguments.get()[i]).value_or(std::string()));
    return utf8;
}

} // namespace

int CContactsApp::Run() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    InstallWin32Translator();
    const CommandLine line = ParseCommandLine(Arguments(GetCommandLineW()));
    CCodePage codePage = PlayerCodePage(line.encoding, LocaleEnvironment::OfProcess());
    if (!codePage.IsAvailable()) {
        ShowFailure(nullptr, Tr(texts::kUnknownEncoding, {codePage.Name()}), {});
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
