// The system calls behind SafeFile.h on Windows: wide-character paths throughout, the new file
// flushed with FlushFileBuffers and put in place with MoveFileExW, whose write-through rename
// is on the disk when it returns. Windows errors are reported as the errno values they mean,
// so that CStatus words them as on every other system.

#include "SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>
#include <string>

#include <windows.h>

namespace orvalen {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinkHops = 40;
constexpr int kNameAttempts = 100;
constexpr DWORD kChunk = 1u << 20; // WriteFile and ReadFile take a DWORD count

int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    default:
        return EIO;
    }
}

CStatus LastError(const fs::path& chosen) {
    return CStatus::FromErrno(ErrnoOf(GetLastError()), chosen);
}

class CHandle {
public:
    explicit CHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~CHandle() { Close(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    void Reset(HANDLE handle) {
        Close();
        m_handle = handle;
    }
    HANDLE Get() const { return m_handle; }
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    // The close's own result: a write can first fail here (a full network disk).
    bool Close() {
        if (!IsOpen())
            return true;
        const bool closed = CloseHandle(m_handle) != 0;
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE m_handle;
};

// The file a save writes: links are followed to the file they name, as on other systems.
CResult<fs::path> FollowLinks(const fs::path& chosen) {
    fs::path path = chosen;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(path, error))
            return path;
        const fs::path link = fs::read_symlink(path, error);
        if (error)
            return CStatus::FromErrno(EIO, chosen);
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return CStatus::FromErrno(EIO, chosen);
}

// The attributes of the file in the target's place; none when there is no file there.
// A folder, a device, or a file the user may not write is refused, as writing in place would be.
CResult<DWORD> CheckTarget(const fs::path& target, const fs::path& chosen) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return DWORD{0};
        return LastError(chosen);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return CStatus(StatusKind::isFolder, chosen);
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0)
        return CStatus(StatusKind::notRegularFile, chosen);
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return CStatus::FromErrno(EACCES, chosen);
    // Opening it for writing, and closing it unchanged, asks the file's own permissions.
    const CHandle probe(CreateFileW(target.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.IsOpen())
        return LastError(chosen);
    if (GetFileType(probe.Get()) != FILE_TYPE_DISK)
        return CStatus(StatusKind::notRegularFile, chosen);
    return attributes;
}

// The new file beside the target, under a short random name; removed unless it was moved.
class CTemporary {
public:
    CTemporary(const fs::path& folder, const fs::path& chosen)
        : m_folder(folder), m_chosen(chosen) {}
    ~CTemporary() {
        m_file.Close();
        if (!m_path.empty())
            DeleteFileW(m_path.c_str());
    }
    CTemporary(const CTemporary&) = delete;
    CTemporary& operator=(const CTemporary&) = delete;

    CStatus Create() {
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            const fs::path path = m_folder / detail::TemporaryName();
            m_file.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
            if (m_file.IsOpen()) {
                m_path = path;
                return {};
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                return CStatus::FromErrno(ErrnoOf(error), m_chosen);
        }
        return CStatus::FromErrno(EEXIST, m_chosen);
    }

    CStatus Write(std::string_view bytes) {
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kChunk));
            DWORD written = 0;
            if (WriteFile(m_file.Get(), bytes.data(), chunk, &written, nullptr) == 0)
                return LastError(m_chosen);
            if (written == 0)
                return CStatus::FromErrno(EIO, m_chosen);
            bytes.remove_prefix(written);
        }
        return {};
    }

    CStatus Flush(const fs::path& target) {
        if (FlushFileBuffers(m_file.Get()) == 0)
            return LastError(m_chosen);
        detail::NotifyFlushed(FlushedItem::file, target);
        return {};
    }

    CStatus Close() {
        if (!m_file.Close())
            return LastError(m_chosen);
        return {};
    }

    // Hidden, system and archive marks of the replaced file go to the new one.
    CStatus TakeAttributes(DWORD attributes) {
        const DWORD kept =
            attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (kept != 0 && SetFileAttributesW(m_path.c_str(), kept) == 0)
            return LastError(m_chosen);
        return {};
    }

    std::string Name() const { return m_path.filename().string(); }

    // The write-through rename returns once the new folder entry is on the disk.
    CStatus MoveOver(const fs::path& target) {
        if (MoveFileExW(m_path.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0)
            return LastError(m_chosen);
        m_path.clear();
        return {};
    }

private:
    fs::path m_folder;
    const fs::path& m_chosen;
    CHandle m_file;
    fs::path m_path; // empty once moved
};

} // namespace

// Windows ends a console program with its own events, not these signals: nothing to hold.
CQuitSignalsHeld::CQuitSignalsHeld() = default;
CQuitSignalsHeld::~CQuitSignalsHeld() = default;

CStatus WriteFileSafely(const fs::path& chosen, std::string_view bytes) {
    const CResult<fs::path> target = FollowLinks(chosen);
    if (!target)
        return target.Status();
    if (target->filename().empty())
        return CStatus(StatusKind::isFolder, chosen);
    const CResult<DWORD> attributes = CheckTarget(*target, chosen);
    if (!attributes)
        return attributes.Status();
    const fs::path folder = target->has_parent_path() ? target->parent_path() : fs::path(L".");

    CTemporary temporary(folder, chosen);
    CStatus status = temporary.Create();
    if (status)
        status = temporary.Write(bytes);
    if (status)
        status = temporary.Flush(*target);
    if (status)
        status = temporary.Close();
    if (status)
        status = temporary.TakeAttributes(*attributes);
    if (status) {
        detail::RemoveStaleTemporaries(folder, temporary.Name());
        status = temporary.MoveOver(*target);
    }
    if (status)
        detail::NotifyFlushed(FlushedItem::folder, folder);
    return status;
}

namespace {

CHandle OpenStream(const fs::path& path) {
    return CHandle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool IsStreamHandle(HANDLE handle) {
    const DWORD type = GetFileType(handle);
    return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

} // namespace

bool IsStream(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    // Only a name that is no file on the disk is opened to ask: CON, NUL, \\.\pipe\...
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DEVICE) == 0 &&
        path.native().rfind(L"\\\\.\\", 0) != 0)
        return false;
    const CHandle stream = OpenStream(path);
    return stream.IsOpen() && IsStreamHandle(stream.Get());
}

CStatus WriteStream(const fs::path& path, std::string_view bytes) {
    CHandle stream = OpenStream(path);
    if (!stream.IsOpen())
        return LastError(path);
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kChunk));
        DWORD written = 0;
        if (WriteFile(stream.Get(), bytes.data(), chunk, &written, nullptr) == 0)
            return LastError(path);
        if (written == 0)
            return CStatus::FromErrno(EIO, path);
        bytes.remove_prefix(written);
    }
    if (!stream.Close())
        return LastError(path);
    return {};
}

CResult<FileBytes> ReadRegularFile(const fs::path& path, std::size_t capacity) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return CStatus(StatusKind::isFolder, path);
    const CHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return LastError(path);
    // Pipes and devices (CON, NUL, COM1) are refused before they are read.
    if (GetFileType(file.Get()) != FILE_TYPE_DISK)
        return CStatus(StatusKind::notRegularFile, path);
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.Get(), &size) == 0)
        return LastError(path);

    // As many bytes as the file says it holds, up to the capacity.
    const std::size_t wanted = static_cast<std::size_t>(
        std::min<std::uintmax_t>(static_cast<std::uintmax_t>(size.QuadPart), capacity));
    FileBytes read;
    read.buffer = std::make_unique_for_overwrite<char[]>(wanted);
    std::size_t total = 0;
    while (total < wanted) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wanted - total, kChunk));
        DWORD got = 0;
        if (ReadFile(file.Get(), read.buffer.get() + total, chunk, &got, nullptr) == 0)
            return LastError(path);
        if (got == 0)
            break;
        total += got;
    }
    read.bytes = std::string_view(read.buffer.get(), total);
    read.size = std::max<std::uintmax_t>(total, static_cast<std::uintmax_t>(size.QuadPart));
    return read;
}

} // namespace orvalen
