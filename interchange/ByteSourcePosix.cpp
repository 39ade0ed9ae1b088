// Files are opened O_NONBLOCK: a FIFO or a device with nothing to give answers EAGAIN, and the
// reader waits in poll slices of 100 ms, checking for a cancel between them.
#include "ByteSource.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvalen {
namespace {

constexpr int kPollSliceMs = 100;

class CFileSource final : public CByteSource {
public:
    CFileSource(int fd, std::uint64_t size) : m_fd(fd), m_size(size) {}
    ~CFileSource() override { ::close(m_fd); }
    CFileSource(const CFileSource&) = delete;
    CFileSource& operator=(const CFileSource&) = delete;

    CResult<std::size_t> Read(std::span<char> buffer, const CReadCancel* cancel,
                              int stallLimitMs) override {
        for (int waited = 0;; waited += kPollSliceMs) {
            if (stallLimitMs > 0 && waited >= stallLimitMs)
                return CStatus::FromErrno(ETIMEDOUT);
            if (cancel != nullptr && cancel->IsCancelled())
                return CStatus(StatusKind::cancelled);
            const ssize_t read = ::read(m_fd, buffer.data(), buffer.size());
            if (read >= 0)
                return static_cast<std::size_t>(read);
            if (errno == EINTR) {
                waited -= kPollSliceMs;
                continue;
            }
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                return CStatus::FromErrno(errno);
            pollfd wait{m_fd, POLLIN, 0};
            if (::poll(&wait, 1, kPollSliceMs) < 0 && errno != EINTR)
                return CStatus::FromErrno(errno);
        }
    }

    std::uint64_t Size() const override { return m_size; }

private:
    int m_fd;
    std::uint64_t m_size;
};

} // namespace

CResult<std::unique_ptr<CByteSource>> OpenByteSource(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return CStatus::FromErrno(errno, path);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return CStatus::FromErrno(error, path);
    }
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        return CStatus(StatusKind::isFolder, path);
    }
    const std::uint64_t size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
    return std::unique_ptr<CByteSource>(std::make_unique<CFileSource>(fd, size));
}

CReadCancel::CReadCancel() = default;
CReadCancel::~CReadCancel() = default;
void CReadCancel::Cancel() {
    m_cancelled = true;
}
void CReadCancel::BindThread() const {}
void CReadCancel::UnbindThread() const {}

} // namespace orvalen
