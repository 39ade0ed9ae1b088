#pragma once

// The phone-book window on the Windows API (dialog 102): the form, the name list, the count
// display and the seven command buttons. It provides the commands' view, its list box is their
// name list, and every command runs through the same editor and file classes as the Qt window.
// Contacts files are imported and exported from the system menu, and a file dropped on the
// window is loaded (.tel) or imported (.vcf, .csv). Neither Enter nor Escape closes it, its title
// marks a phone book with unsaved changes, and closing it then asks first; Ctrl+Z and Ctrl+Y (and
// the system menu) undo and redo commands. Requires the process's resources (Orvalen.rc) and a
// message loop that passes each message to PreTranslate first.

#include "BookEditor.h"
#include "BookView.h"
#include "ByteLimitedEdit.h"
#include "ContactField.h"
#include "NameListBox.h"
#include "Status.h"
#include "WideText.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <type_traits>

namespace orvalen::win32 {

// Owners of the window's icons, picture and key table, which the system gives out as handles.
struct CIconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct CBitmapDeleter {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
struct CAcceleratorDeleter {
    void operator()(HACCEL table) const { DestroyAcceleratorTable(table); }
};
using CIcon = std::unique_ptr<std::remove_pointer_t<HICON>, CIconDeleter>;
using CBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, CBitmapDeleter>;
using CAccelerators = std::unique_ptr<std::remove_pointer_t<HACCEL>, CAcceleratorDeleter>;

class CMainDialog final : public IBookView {
public:
    // Names and fields are bytes of codePage; the name list sorts for it.
    CMainDialog(HINSTANCE instance, CCodePage codePage);
    ~CMainDialog() override;
    CMainDialog(const CMainDialog&) = delete;
    CMainDialog& operator=(const CMainDialog&) = delete;

    // Makes and shows the window; false when the system could not.
    bool Create();
    // Handles msg if it is one of the window's keys: the undo and redo keys and the dialog
    // navigation (Tab, arrows, mnemonics).
    bool PreTranslate(MSG& msg);

    void ReadForm(ContactForm& form) override;
    void WriteForm(const ContactForm& form, int count) override;
    using IBookView::ChooseFile;
    using IBookView::ShowMessage;
    MessageResult ShowMessage(std::string_view text, MessageIcon icon, MessageButtons buttons,
                              std::string_view detail) override;
    std::optional<std::filesystem::path> ChooseFile(FileMode mode, std::string_view defaultName,
                                                    std::string_view filter,
                                                    const std::filesystem::path& folder) override;

    // Closes the window as its close box does: asks first when changes are not saved.
    void Close();
    // True when nothing is unsaved, or the user agrees to lose it.
    bool MayClose();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(int id, int code);
    void RunButton(int id);
    // The title's mark of unsaved changes.
    void ShowBookState();
    bool OnSystemCommand(WPARAM command);
    bool OnPaint();
    void OnInitMenuPopup(HMENU menu, bool isWindowMenu);
    void AppendSystemMenuItems();
    void ShowPicture();
    void UndoOrRedo(bool undo);
    void ImportContacts();
    void ImportFrom(const std::filesystem::path& path);
    void ExportContacts();
    void ShowImportError(HWND owner, const CStatus& status) const;
    // A file dropped on the window: a phone book loads, a contacts file imports.
    void OnDropFiles(HDROP drop);
    void OpenDropped();
    CByteLimitedEdit* FindEdit(int id);

    HINSTANCE m_instance;
    HWND m_window = nullptr;
    CAccelerators m_accelerators;
    CIcon m_icon;
    CIcon m_smallIcon;
    CBitmap m_picture;
    CWideCodec m_codec;
    CNameListBox m_list;
    std::array<CByteLimitedEdit, kFieldCount> m_edits;
    CBookEditor m_editor;
    // The file of the last drop, opened once the drop has ended.
    std::filesystem::path m_dropped;
};

} // namespace orvalen::win32
