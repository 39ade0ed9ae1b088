// Windows has no polling for files and pipes: a read blocks, and Cancel breaks it with
// CancelSynchronousIo on the reading thread, which binds itself for the read.
#include "ByteSource.h"

#include <windows.h>

#include <cerrno>

namespace orvalen {
namespace {

class CFileSource final : public CByteSource {
public:
    CFileSource(HANDLE file, std::uint64_t size) : m_file(file), m_size(size) {}
    ~CFileSource() override { CloseHandle(m_file); }
    CFileSource(const CFileSource&) = delete;
    CFileSource& operator=(const CFileSource&) = delete;

    // A blocked ReadFile is broken by CancelSynchronousIo; the stall limit is not checked.
    CResult<std::size_t> Read(std::span<char> buffer, const CReadCancel* cancel,
                              int /*stallLimitMs*/) override {
        if (cancel != nullptr && cancel->IsCancelled())
            return CStatus(StatusKind::cancelled);
        DWORD read = 0;
        if (ReadFile(m_file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return static_cast<std::size_t>(read);
        const DWORD error = GetLastError();
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF)
            return std::size_t{0};
        if (error == ERROR_OPERATION_ABORTED || (cancel != nullptr && cancel->IsCancelled()))
            return CStatus(StatusKind::cancelled);
        return CStatus::FromErrno(EIO);
    }

    std::uint64_t Size() const override { return m_size; }

private:
    HANDLE m_file;
    std::uint64_t m_size;
};

} // namespace

CResult<std::unique_ptr<CByteSource>> OpenByteSource(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return CStatus(StatusKind::isFolder, path);
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const int code = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT
                         : error == ERROR_ACCESS_DENIED                                 ? EACCES
                                                                                        : EIO;
        return CStatus::FromErrno(code, path);
    }
    LARGE_INTEGER size{};
    const bool regular = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size);
    return std::unique_ptr<CByteSource>(std::make_unique<CFileSource>(
        file, regular ? static_cast<std::uint64_t>(size.QuadPart) : 0));
}

CReadCancel::CReadCancel() = default;
CReadCancel::~CReadCancel() {
    UnbindThread();
}

void CReadCancel::Cancel() {
    m_cancelled = true;
    if (void* thread = m_thread.load())
        CancelSynchronousIo(static_cast<HANDLE>(thread));
}

void CReadCancel::BindThread() const {
    HANDLE thread = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread,
                        THREAD_TERMINATE, FALSE, 0))
        m_thread = thread;
}

void CReadCancel::UnbindThread() const {
    if (void* thread = m_thread.exchange(nullptr))
        CloseHandle(static_cast<HANDLE>(thread));
}

} // namespace orvalen
