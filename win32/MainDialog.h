#pragma once

// The phone-book window on the Windows API (dialog 102): the form, the name list, the count
// display and the seven command buttons, wired to the presenter (app/MainPresenter.h), which
// decides what each event does. It provides the commands' view and its list box is their name
// list. Import and export are on the system menu, and a file dropped on the window opens. Neither
// Enter nor Escape closes it; Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo. Requires the process's
// resources (Orvalen.rc, Texts.rc) and a message loop that passes each message to PreTranslate
// first.

#include "BookEditor.h"
#include "BookView.h"
#include "ByteLimitedEdit.h"
#include "ContactField.h"
#include "DialogWindow.h"
#include "MainPresenter.h"
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

class CMainDialog final : public CDialogWindow, public IMainView {
public:
    // Names and fields are bytes of codePage; the name list sorts for it.
    CMainDialog(HINSTANCE instance, CCodePage codePage);
    ~CMainDialog() override;

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
    bool AskQuestion(std::string_view text) override;
    void ShowError(std::string_view text, std::string_view detail) override;
    void ShowBookState(const BookState& state) override;
    bool RunImportDialog(CImportModel& model) override;
    CResult<ImportFile> ReadImport(const ImportRequest& request) override;
    void ShowAbout(std::string_view codePageLine) override;

    // Opens path through the presenter once the messages already waiting are handled: after
    // the window has shown, or after a drop has ended.
    void OpenSoon(std::filesystem::path path);
    // Closes the window as its close box does: asks first when changes are not saved.
    void Close();
    CMainPresenter& Presenter() { return m_presenter; }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    void OnCommand(int id, int code);
    bool OnSystemCommand(WPARAM command);
    bool OnPaint();
    void OnInitMenuPopup(HMENU menu, bool isWindowMenu);
    void AppendSystemMenuItems();
    void ShowPicture();
    void UndoOrRedo(bool undo);
    // A file dropped on the window opens once the drop has ended.
    void OnDropFiles(HDROP drop);
    CByteLimitedEdit* FindEdit(int id);

    HINSTANCE m_instance;
    CAccelerators m_accelerators;
    CIcon m_icon;
    CIcon m_smallIcon;
    CBitmap m_picture;
    CWideCodec m_codec;
    CNameListBox m_list;
    std::array<CByteLimitedEdit, kFieldCount> m_edits;
    CBookEditor m_editor;
    CMainPresenter m_presenter;
    // The file OpenSoon was last given, until it opens.
    std::filesystem::path m_toOpen;
};

} // namespace orvalen::win32
