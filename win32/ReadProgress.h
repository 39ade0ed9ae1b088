#pragma once

// The import's read on the Windows window: a CImportJob (app/ImportJob.h) whose thread posts
// the end of the read back to a small dialog (IDD_READ_PROGRESS) with a progress bar and Cancel.
// The dialog appears only when the read takes longer than half a second; from the start the
// window it covers takes no input, while every window goes on repainting. Requires the
// process's resources (Orvalen.rc) and the common controls.

#include "DialogWindow.h"
#include "ImportJob.h"
#include "MainPresenter.h"
#include "Status.h"

#include <windows.h>

namespace orvalen::win32 {

class CReadProgress final : public CDialogWindow {
public:
    // Reads request over owner and returns the result when the read has ended: read, failed,
    // or cancelled (the user's Cancel, or the program ending, whose quit is passed on).
    static CResult<ImportFile> Run(HINSTANCE instance, HWND owner, const ImportRequest& request);

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ShowProgress();

    CImportJob* m_job = nullptr;
    bool m_ended = false;
};

} // namespace orvalen::win32
