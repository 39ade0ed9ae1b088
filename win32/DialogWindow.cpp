#include "DialogWindow.h"

#include "WideText.h"

namespace orvalen::win32 {

bool CDialogWindow::CreateModeless(HINSTANCE instance, int id, HWND owner) {
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(id), owner, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CDialogWindow::RunModal(HINSTANCE instance, int id, HWND owner) {
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(id), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<CDialogWindow*>(lParam)->m_window = window;
    }
    auto* dialog = reinterpret_cast<CDialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (dialog == nullptr)
        return FALSE;
    const INT_PTR result = dialog->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The last message: the object no longer has a window.
        SetWindowLongPtrW(window, DWLP_USER, 0);
        dialog->m_window = nullptr;
    }
    return result;
}

std::wstring CDialogWindow::ItemText(int id) const {
    HWND item = GetDlgItem(m_window, id);
    const int length = GetWindowTextLengthW(item);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(item, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

void CDialogWindow::SetItemText(int id, const std::string& utf8) const {
    SetDlgItemTextW(m_window, id, Utf8ToUtf16(utf8).c_str());
}

} // namespace orvalen::win32
