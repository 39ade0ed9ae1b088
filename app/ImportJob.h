#pragma once

// The read of an import on a thread of its own, so that the window which started it goes on
// repainting and can stop it. Both windows use it the same way: start the job with a callback
// that posts the window a message (a queued call in Qt, PostMessage on Windows), show the
// progress from Progress() while it runs, call Cancel() for the user's Cancel, and take the
// result with Wait() on the window's thread once the message arrives.
// Promises: Cancel() ends the read within 0.2 s, even when the file never ends a read; the
// destructor cancels and joins, so a window that goes away never leaves the thread running;
// running out of memory refuses the import (StatusKind::tooLarge) instead of ending the program.
// Requires: finished returns at once (it runs on the job's thread) and may be called before the
// constructor has returned.

#include "ContactImport.h"
#include "ContactReader.h"
#include "MainPresenter.h"
#include "Status.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

namespace orvalen {

struct ImportProgress {
    std::uint64_t read = 0; // bytes read so far
    std::uint64_t size = 0; // the file's size, 0 when unknown (a pipe)
};

class CImportJob {
public:
    CImportJob(ImportRequest request, std::function<void()> finished);
    ~CImportJob();
    CImportJob(const CImportJob&) = delete;
    CImportJob& operator=(const CImportJob&) = delete;

    void Cancel() { m_cancel.Cancel(); }
    bool IsFinished() const { return m_finished.load(); }
    ImportProgress Progress() const { return {m_read.load(), m_size.load()}; }
    // Joins the thread and gives the read's result (StatusKind::cancelled after a Cancel()).
    // The result is handed over once; later calls give StatusKind::cancelled.
    CResult<ImportFile> Wait();

private:
    CReadCancel m_cancel;
    std::atomic<std::uint64_t> m_read{0};
    std::atomic<std::uint64_t> m_size{0};
    std::atomic<bool> m_finished{false};
    std::optional<CResult<ImportFile>> m_result; // written by the thread before m_finished
    std::thread m_thread;                        // last: starts once the rest is ready
};

} // namespace orvalen
