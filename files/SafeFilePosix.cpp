// The system calls behind SafeFile.h on POSIX systems (Linux and the like).

#include "SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvalen {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinkHops = 40;   // as the system's own limit for a path
constexpr int kNameAttempts = 100; // random temporary names tried before giving up

class CDescriptor {
public:
    explicit CDescriptor(int fd = -1) : m_fd(fd) {}
    ~CDescriptor() { Close(); }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;

    void Reset(int fd) {
        Close();
        m_fd = fd;
    }
    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    // The close's own result: a write can first fail here (a full network disk).
    bool Close() {
        if (m_fd < 0)
            return true;
        const bool closed = ::close(m_fd) == 0;
        m_fd = -1;
        return closed;
    }

private:
    int m_fd;
};

template <typename Call> int RetryOnInterrupt(Call call) {
    int rc;
    do {
        rc = call();
    } while (rc != 0 && errno == EINTR);
    return rc;
}

// The file a save writes: links are followed to the file they name, even one that does not
// exist yet, so the link stays and the file it names gets the bytes.
CResult<fs::path> FollowLinks(const fs::path& chosen) {
    fs::path path = chosen;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0)
            return errno == ENOENT ? CResult<fs::path>(path) : CStatus::FromErrno(errno, chosen);
        if (!S_ISLNK(info.st_mode))
            return path;
        std::error_code error;
        const fs::path link = fs::read_symlink(path, error);
        if (error)
            return CStatus::FromErrno(error.value(), chosen);
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return CStatus::FromErrno(ELOOP, chosen);
}

// The file in the target's place, when there is one.
struct CExisting {
    bool exists = false;
    struct stat info {};
};

// Refuses a target that is no regular file, or one the user may not write: writing in place
// would be refused, so replacing it must be too.
CResult<CExisting> CheckTarget(const fs::path& target, const fs::path& chosen) {
    CExisting existing;
    if (::stat(target.c_str(), &existing.info) != 0) {
        if (errno == ENOENT)
            return existing;
        return CStatus::FromErrno(errno, chosen);
    }
    existing.exists = true;
    if (S_ISDIR(existing.info.st_mode))
        return CStatus(StatusKind::isFolder, chosen);
    if (!S_ISREG(existing.info.st_mode))
        return CStatus(StatusKind::notRegularFile, chosen);
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return CStatus::FromErrno(errno, chosen);
    return existing;
}

// The new file while it is written: anonymous (no name in the folder) where the file system
// allows, so that a killed save leaves nothing; else under a short random name.
class CTemporary {
public:
    CTemporary(int folder, const fs::path& chosen) : m_folder(folder), m_chosen(chosen) {}
    ~CTemporary() { Remove(); }
    CTemporary(const CTemporary&) = delete;
    CTemporary& operator=(const CTemporary&) = delete;

    CStatus Create(bool anonymous) {
#if defined(O_TMPFILE)
        if (anonymous) {
            m_file.Reset(::openat(m_folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
            if (m_file.IsOpen())
                return {};
        }
#else
        (void)anonymous;
#endif
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            std::string name = detail::TemporaryName();
            m_file.Reset(
                ::openat(m_folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
            if (m_file.IsOpen()) {
                m_name = std::move(name);
                return {};
            }
            if (errno != EEXIST)
                return CStatus::FromErrno(errno, m_chosen);
        }
        return CStatus::FromErrno(EEXIST, m_chosen);
    }

    int Descriptor() const {
        return m_file.Get();
    }
    bool Close() {
        return m_file.Close();
    }

    // Gives an anonymous file a name in the folder (the descriptor must still be open).
    // Nothing to do for a named one.
    CStatus Link() {
        if (!m_name.empty())
            return {};
        const std::string self = "/proc/self/fd/" + std::to_string(m_file.Get());
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            std::string name = detail::TemporaryName();
            // By the descriptor where the user may (root), else through its /proc entry.
            if (::linkat(m_file.Get(), "", m_folder, name.c_str(), AT_EMPTY_PATH) == 0 ||
                ::linkat(AT_FDCWD, self.c_str(), m_folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                m_name = std::move(name);
                return {};
            }
            if (errno != EEXIST)
                return CStatus::FromErrno(errno, m_chosen);
        }
        return CStatus::FromErrno(EEXIST, m_chosen);
    }

    const std::string& Name() const {
        return m_name;
    }

    CStatus RenameOver(const std::string& target) {
        if (const int fault = detail::SeamFault(SaveStep::rename))
            return CStatus::FromErrno(fault, m_chosen);
        if (::renameat(m_folder, m_name.c_str(), m_folder, target.c_str()) != 0)
            return CStatus::FromErrno(errno, m_chosen);
        m_name.clear();
        return {};
    }

private:
    void Remove() {
        m_file.Close();
        if (!m_name.empty())
            ::unlinkat(m_folder, m_name.c_str(), 0);
    }

    int m_folder;
    const fs::path& m_chosen;
    CDescriptor m_file;
    std::string m_name; // empty while anonymous or once renamed
};

CStatus WriteAll(int fd, std::string_view bytes, const fs::path& chosen) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return CStatus::FromErrno(errno, chosen);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

// The errors of a file system that keeps no modes or owners (FAT, exFAT, FUSE file systems
// without them): the file then has the mount's, and the save goes on.
bool KeepsNoModes(int error) {
    return error == EPERM || error == ENOSYS || error == EOPNOTSUPP;
}

int SetOwner(int fd, uid_t owner, gid_t group) {
    if (const int fault = detail::SeamFault(SaveStep::setOwner))
        return fault;
    return ::fchown(fd, owner, group) == 0 ? 0 : errno;
}

int SetMode(int fd, mode_t mode) {
    if (const int fault = detail::SeamFault(SaveStep::setMode))
        return fault;
    return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

// The replaced file's owner and group where the user may set them (root), and its mode; a new
// file gets the mode a file created in place would have.
CStatus TakeOwnerAndMode(int fd, const CExisting& existing, const fs::path& chosen) {
    mode_t mode;
    if (existing.exists) {
        if (existing.info.st_uid != ::geteuid() || existing.info.st_gid != ::getegid()) {
            // Refused to anyone but root (or for a group the user is not in): keep the mode.
            (void)SetOwner(fd, existing.info.st_uid, existing.info.st_gid);
        }
        mode = existing.info.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const int error = SetMode(fd, mode);
    if (error != 0 && !KeepsNoModes(error))
        return CStatus::FromErrno(error, chosen);
    return {};
}

CStatus Flush(int fd, FlushedItem item, const fs::path& path, const fs::path& chosen) {
    const int fault = item == FlushedItem::folder ? detail::SeamFault(SaveStep::flushFolder) : 0;
    if (fault != 0)
        errno = fault;
    if (fault != 0 || RetryOnInterrupt([fd] { return ::fsync(fd); }) != 0) {
        // Some file systems cannot flush a folder; the rename is then as durable as they allow.
        if (item == FlushedItem::folder && errno == EINVAL)
            return {};
        return CStatus::FromErrno(errno, chosen);
    }
    detail::NotifyFlushed(item, path);
    return {};
}

struct CPlace {
    fs::path chosen; // what the user chose, named in every failure
    fs::path target; // the file that is replaced, links followed
    fs::path folder;
    std::string name; // the target's name in its folder
    CExisting existing;
};

// One attempt at the replace. linkFailed tells that an anonymous file could not be given a
// name, so that a named temporary file can be tried instead.
CStatus Replace(const CPlace& place, int folder, std::string_view bytes, bool anonymous,
                bool& linkFailed) {
    CTemporary temporary(folder, place.chosen);
    CStatus status = temporary.Create(anonymous);
    if (status)
        status = WriteAll(temporary.Descriptor(), bytes, place.chosen);
    if (status)
        status = TakeOwnerAndMode(temporary.Descriptor(), place.existing, place.chosen);
    if (status)
        status = Flush(temporary.Descriptor(), FlushedItem::file, place.target, place.chosen);
    if (!status)
        return status;
    status = temporary.Link();
    if (!status) {
        linkFailed = true;
        return status;
    }
    detail::RemoveStaleTemporaries(place.folder, temporary.Name());
    if (!temporary.Close())
        return CStatus::FromErrno(errno, place.chosen);
    status = temporary.RenameOver(place.name);
    if (!status)
        return status;
    status = Flush(folder, FlushedItem::folder, place.folder, place.chosen);
    if (!status) {
        // The new bytes are in place: saying that nothing changed would be false.
        return CStatus(StatusKind::writtenNotFlushed, place.chosen)
            .WithSystemError(status.SystemError());
    }
    return status;
}

} // namespace

CQuitSignalsHeld::CQuitSignalsHeld() {
    static_assert(sizeof(sigset_t) <= sizeof m_saved);
    sigset_t quit;
    ::sigemptyset(&quit);
    ::sigaddset(&quit, SIGINT);
    ::sigaddset(&quit, SIGTERM);
    ::sigaddset(&quit, SIGHUP);
    m_held = ::pthread_sigmask(SIG_BLOCK, &quit, reinterpret_cast<sigset_t*>(m_saved)) == 0;
}

CQuitSignalsHeld::~CQuitSignalsHeld() {
    // A signal that came meanwhile is delivered here.
    if (m_held)
        ::pthread_sigmask(SIG_SETMASK, reinterpret_cast<const sigset_t*>(m_saved), nullptr);
}

CStatus WriteFileSafely(const fs::path& chosen, std::string_view bytes) {
    CPlace place;
    place.chosen = chosen;
    const CResult<fs::path> target = FollowLinks(chosen);
    if (!target)
        return target.Status();
    place.target = *target;
    place.name = place.target.filename().string();
    if (place.name.empty())
        return CStatus(StatusKind::isFolder, chosen);
    place.folder = place.target.has_parent_path() ? place.target.parent_path() : fs::path(".");
    const CResult<CExisting> existing = CheckTarget(place.target, chosen);
    if (!existing)
        return existing.Status();
    place.existing = *existing;

    const CDescriptor folder(::open(place.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen())
        return CStatus::FromErrno(errno, chosen);
    bool linkFailed = false;
    const CStatus status = Replace(place, folder.Get(), bytes, true, linkFailed);
    if (linkFailed)
        return Replace(place, folder.Get(), bytes, false, linkFailed);
    return status;
}

bool IsStream(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode));
}

CStatus WriteStream(const fs::path& path, std::string_view bytes) {
    CDescriptor stream(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (!stream.IsOpen())
        return CStatus::FromErrno(errno, path);
    const CStatus status = WriteAll(stream.Get(), bytes, path);
    if (status && !stream.Close())
        return CStatus::FromErrno(errno, path);
    return status;
}

CResult<FileBytes> ReadRegularFile(const fs::path& path, std::size_t capacity) {
    // Non-blocking, so that a pipe without a writer cannot make the open wait.
    const CDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.IsOpen())
        return CStatus::FromErrno(errno, path);
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        return CStatus::FromErrno(errno, path);
    if (S_ISDIR(info.st_mode))
        return CStatus(StatusKind::isFolder, path);
    if (!S_ISREG(info.st_mode))
        return CStatus(StatusKind::notRegularFile, path);

    // As many bytes as the file says it holds, up to the capacity: no read is spent to learn
    // that the end has come.
    const std::size_t wanted = static_cast<std::size_t>(
        std::min<std::uintmax_t>(static_cast<std::uintmax_t>(info.st_size), capacity));
    FileBytes read;
    read.buffer = std::make_unique_for_overwrite<char[]>(wanted);
    std::size_t total = 0;
    while (total < wanted) {
        const ssize_t got = ::read(file.Get(), read.buffer.get() + total, wanted - total);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return CStatus::FromErrno(errno, path);
        }
        total += static_cast<std::size_t>(got);
    }
    read.bytes = std::string_view(read.buffer.get(), total);
    read.size = std::max<std::uintmax_t>(total, static_cast<std::uintmax_t>(info.st_size));
    return read;
}

} // namespace orvalen
