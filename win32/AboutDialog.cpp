#include "AboutDialog.h"

#include "WideText.h"
#include "resource.h"

#include <string>

namespace orvalen::win32 {
namespace {

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextW(dialog, IDC_ABOUT_CODE_PAGE, reinterpret_cast<const wchar_t*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

void CAboutDialog::Show(HINSTANCE instance, HWND owner, std::string_view codePageLine) {
    const std::wstring line = Utf8ToUtf16(codePageLine);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUTBOX), owner, AboutProc,
                    reinterpret_cast<LPARAM>(line.c_str()));
}

} // namespace orvalen::win32
