#pragma once

// The import dialog of the Windows window (dialog 103): the contacts of a file in a list view
// with check boxes, a search box that filters the rows shown, "Select all" / "Select none" on
// the rows shown, the count of ticked rows and places left, and the choice for names already in
// the phone book, and where the file's character set was guessed, a choice of another that reads
// the file again. OK, the default button, is disabled while the ticked new contacts need more
// places than are left. Requires the process's resources (Orvalen.rc) and the common controls.

#include "BookEditor.h"
#include "ContactImport.h"
#include "WideText.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvalen::win32 {

// What the user chose on OK: the ticked contacts in file order and the repeated-name choice.
struct ImportChoice {
    std::vector<ContactForm> contacts;
    RepeatedNames repeated = RepeatedNames::update;
};

// Reads the file again in the named character set; nothing when it cannot, after telling the
// user in a message owned by the given window.
using ReReader =
    std::function<std::optional<std::vector<ImportRow>>(const std::string& encoding, HWND owner)>;

class CImportDialog {
public:
    // Shows the dialog, modal, owned by owner; nothing when the user cancelled. bookCount is
    // the number of contacts the phone book holds. With a reReader, the file's character set
    // (encoding) was guessed and the dialog offers others.
    static std::optional<ImportChoice> Run(HINSTANCE instance, HWND owner, const CWideCodec& codec,
                                           int bookCount, ImportFile file, ReReader reReader);

private:
    CImportDialog(const CWideCodec& codec, int bookCount, ImportFile file, ReReader reReader);
    // New rows, ticked at first in file order while there is room.
    void SetRows(std::vector<ImportRow> rows);
    void OfferEncodings();
    void ReadAgain();
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
    std::string m_encoding;
    // The entry of the character-set box the rows shown were read in.
    int m_encodingChoice = 0;
    ReReader m_reReader;
    // Each row's six texts as shown, and in lower case for the search.
    std::vector<std::vector<std::wstring>> m_shown;
    std::vector<std::wstring> m_searchable;
    std::vector<bool> m_ticked;
    // Set while the dialog itself fills the list, whose tick changes are then not the user's.
    bool m_filling = false;
    ImportChoice m_choice;
};

} // namespace orvalen::win32
