#pragma once

// The import dialog of the Windows window (dialog 103): the contacts of a file in a list view
// with check boxes, a search box that filters the rows shown, "Select all" / "Select none" on
// the rows shown, the count of ticked rows and places left, and the choice for names already in
// the phone book. OK, the default button, is disabled while the ticked new contacts need more
// places than are left. Requires the process's resources (Orvalen.rc) and the common controls.

#include "BookEditor.h"
#include "ContactImport.h"
#include "WideText.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace orvalen::win32 {

// What the user chose on OK: the ticked contacts in file order and the repeated-name choice.
struct ImportChoice {
    std::vector<ContactForm> contacts;
    RepeatedNames repeated = RepeatedNames::update;
};

class CImportDialog {
public:
    // Shows the dialog, modal, owned by owner; nothing when the user cancelled. bookCount is
    // the number of contacts the phone book holds.
    static std::optional<ImportChoice> Run(HINSTANCE instance, HWND owner, const CWideCodec& codec,
                                           int bookCount, std::vector<ImportRow> rows);

private:
    CImportDialog(const CWideCodec& codec, int bookCount, std::vector<ImportRow> rows);
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    // Fills the list with the rows whose texts hold the search text, ignoring case.
    void ShowMatchingRows();
    void TickShown(bool ticked);
    void UpdateCount();
    RepeatedNames Repeated() const;
    ImportChoice Chosen() const;

    HWND m_window = nullptr;
    HWND m_list = nullptr;
    const CWideCodec& m_codec;
    int m_bookCount;
    std::vector<ImportRow> m_rows;
    // Each row's six texts as shown, and in lower case for the search.
    std::vector<std::vector<std::wstring>> m_shown;
    std::vector<std::wstring> m_searchable;
    std::vector<bool> m_ticked;
    // Set while the dialog itself fills the list, whose tick changes are then not the user's.
    bool m_filling = false;
    ImportChoice m_choice;
};

} // namespace orvalen::win32
