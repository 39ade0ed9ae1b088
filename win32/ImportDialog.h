#pragma once

// The import dialog of the Windows window (dialog 103): the controls of an import model
// (app/ImportModel.h), which holds the rows, ticks, search, count line and choices. The rows
// shown are in a list view with check boxes; OK, the default button, is disabled while the
// ticked contacts need more places than are left. Requires the process's resources
// (Orvalen.rc) and the common controls.

#include "DialogWindow.h"
#include "ImportModel.h"

#include <windows.h>

namespace orvalen::win32 {

class CImportDialog final : public CDialogWindow {
public:
    explicit CImportDialog(CImportModel& model) : m_model(model) {}

    // Shows the dialog, modal, owned by owner; true when the user pressed OK.
    bool Run(HINSTANCE instance, HWND owner);

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    void ShowEncodings();
    void ReadAgain();
    void ReadNextRange();
    void ShowRange();
    // Fills the list with the rows the model's search shows.
    void ShowMatchingRows();
    void TickShown(bool ticked);
    void UpdateCount();

    CImportModel& m_model;
    HWND m_list = nullptr;
    // Set while the dialog itself fills the list, whose tick changes are then not the user's.
    bool m_filling = false;
};

} // namespace orvalen::win32
