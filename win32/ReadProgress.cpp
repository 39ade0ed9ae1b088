#include "ReadProgress.h"

#include "WinTexts.h"
#include "resource.h"

#include <commctrl.h>

#include <algorithm>

namespace orvalen::win32 {
namespace {

// Posted by the job's thread when the read has ended.
constexpr UINT kReadEnded = WM_APP + 2;
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kProgressTimer = 2;
// A read that ends sooner shows no dialog: it would only flash.
constexpr UINT kShowAfterMs = 500;
constexpr UINT kProgressTickMs = 100;
constexpr int kProgressSteps = 1000;

} // namespace

CResult<ImportFile> CReadProgress::Run(HINSTANCE instance, HWND owner,
                                       const ImportRequest& request) {
    CReadProgress dialog;
    if (!dialog.CreateModeless(instance, IDD_READ_PROGRESS, owner))
        return CImportJob(request, {}).Wait(); // no dialog to show: read all the same
    HWND window = dialog.Window();
    SetWindowTextW(window, ApplicationName().c_str());
    dialog.SetItemText(IDC_READING, Tr(texts::kReading, {request.path.filename().string()}));
    dialog.SetItemText(IDCANCEL, Tr(texts::kCancel));
    SendDlgItemMessageW(window, IDC_READ_BAR, PBM_SETRANGE32, 0, kProgressSteps);

    CImportJob job(request, [window] { PostMessageW(window, kReadEnded, 0, 0); });
    dialog.m_job = &job;
    // As a modal dialog does: the window under it takes no input until the read has ended.
    const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner) != FALSE;
    if (ownerWasEnabled)
        EnableWindow(owner, FALSE);
    SetTimer(window, kShowTimer, kShowAfterMs, nullptr);
    SetTimer(window, kProgressTimer, kProgressTickMs, nullptr);

    bool quit = false;
    WPARAM quitCode = 0;
    MSG message;
    while (!dialog.m_ended) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program ends: the read stops, and the quit goes on to the window's loop.
            quit = got == 0;
            quitCode = message.wParam;
            job.Cancel();
            break;
        }
        if (IsDialogMessageW(window, &message) == FALSE) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // The owner first, so that the activation goes back to it.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    dialog.m_job = nullptr;
    DestroyWindow(window);
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
    return job.Wait();
}

INT_PTR CReadProgress::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case kReadEnded:
        m_ended = true;
        return TRUE;
    case WM_TIMER:
        if (wParam == kShowTimer) {
            KillTimer(Window(), kShowTimer);
            if (!m_ended)
                ShowWindow(Window(), SW_SHOW);
        } else if (wParam == kProgressTimer) {
            ShowProgress();
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL && m_job != nullptr) {
            // The read ends within 0.1 s and posts its end like any other.
            m_job->Cancel();
            EnableWindow(GetDlgItem(Window(), IDCANCEL), FALSE);
        }
        return TRUE;
    case WM_CLOSE:
        if (m_job != nullptr)
            m_job->Cancel();
        return TRUE;
    default:
        return FALSE;
    }
}

void CReadProgress::ShowProgress() {
    if (m_job == nullptr)
        return;
    const ImportProgress now = m_job->Progress();
    // A pipe's size is unknown: the bar stays empty.
    const std::uint64_t steps =
        now.size == 0
            ? 0
            : std::min<std::uint64_t>(now.read * kProgressSteps / now.size, kProgressSteps);
    SendDlgItemMessageW(Window(), IDC_READ_BAR, PBM_SETPOS, static_cast<WPARAM>(steps), 0);
}

} // namespace orvalen::win32
