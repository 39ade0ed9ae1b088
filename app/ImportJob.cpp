#include "ImportJob.h"

#include <new>

namespace orvalen {
namespace {

// Out of memory on the job's thread would end the program with the phone book unsaved: the
// import is refused instead.
CResult<ImportFile> ReadOrRefuse(const ImportRequest& request, const CReadCancel* cancel,
                                 std::function<void(std::uint64_t, std::uint64_t)> progress) {
    try {
        return ReadForImport(request, cancel, std::move(progress));
    } catch (const std::bad_alloc&) {
        return CStatus(StatusKind::tooLarge, request.path);
    }
}

} // namespace

CImportJob::CImportJob(ImportRequest request, std::function<void()> finished)
    : m_thread([this, request = std::move(request), finished = std::move(finished)] {
          CResult<ImportFile> result =
              ReadOrRefuse(request, &m_cancel, [this](std::uint64_t read, std::uint64_t size) {
                  m_read.store(read);
                  m_size.store(size);
              });
          m_result.emplace(std::move(result));
          m_finished.store(true);
          if (finished)
              finished();
      }) {}

CImportJob::~CImportJob() {
    Cancel();
    if (m_thread.joinable())
        m_thread.join();
}

CResult<ImportFile> CImportJob::Wait() {
    if (m_thread.joinable())
        m_thread.join();
    if (!m_result)
        return CStatus(StatusKind::cancelled);
    CResult<ImportFile> result = std::move(*m_result);
    m_result.reset();
    return result;
}

} // namespace orvalen
