#pragma once

// The base of the Windows window's dialogs: one window procedure that finds the C++ object of
// the dialog it serves (kept in DWLP_USER from WM_INITDIALOG until the window is gone) and hands
// it every message. A derived dialog handles OnMessage as a dialog procedure does: TRUE for a
// message it handled. Requires the object to outlive its window.

#include <windows.h>

#include <string>

namespace orvalen::win32 {

class CDialogWindow {
public:
    CDialogWindow() = default;
    CDialogWindow(const CDialogWindow&) = delete;
    CDialogWindow& operator=(const CDialogWindow&) = delete;
    virtual ~CDialogWindow() = default;

    HWND Window() const { return m_window; }

protected:
    // A modeless dialog on template id; false when the system could not make it.
    bool CreateModeless(HINSTANCE instance, int id, HWND owner);
    // A modal dialog on template id; what EndDialog gave, or -1.
    INT_PTR RunModal(HINSTANCE instance, int id, HWND owner);
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // The text of a control, and a text of ours (UTF-8) put on one.
    std::wstring ItemText(int id) const;
    void SetItemText(int id, const std::string& utf8) const;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
};

} // namespace orvalen::win32
