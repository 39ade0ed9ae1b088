#include "SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvalen {
namespace {

// The one place that talks to the system: pushes the file's data to the disk.
bool FlushToDisk(std::FILE* file) {
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    int rc;
    do {
        rc = ::fsync(::fileno(file));
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
#endif
}

class CFileHandle {
public:
    CFileHandle() = default;
    ~CFileHandle() { Close(); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    // Creates a new file; fails rather than reuse one that exists.
    bool CreateNew(const std::filesystem::path& path) {
#if defined(_WIN32)
        m_file = _wfopen(path.c_str(), L"wbx");
#else
        m_file = std::fopen(path.c_str(), "wbx");
#endif
        return m_file != nullptr;
    }

    std::FILE* Get() const {
        return m_file;
    }

    bool Close() {
        if (m_file == nullptr)
            return true;
        const bool ok = std::fclose(m_file) == 0;
        m_file = nullptr;
        return ok;
    }

private:
    std::FILE* m_file = nullptr;
};

std::filesystem::path TemporaryBeside(const std::filesystem::path& target, unsigned attempt) {
    static std::mt19937 random{std::random_device{}()};
    std::filesystem::path name = target.filename();
    name +=
        ".orvalen-" + std::to_string(random() % 1000000u) + "-" + std::to_string(attempt) + ".tmp";
    return target.parent_path() / name;
}

} // namespace

bool WriteFileSafely(const std::filesystem::path& chosen, std::string_view bytes) {
    if (chosen.filename().empty())
        return false;
    std::error_code error;
    // Write through a link to the file it names, as writing in place would.
    std::filesystem::path target = chosen;
    if (std::filesystem::is_symlink(chosen, error)) {
        const auto resolved = std::filesystem::weakly_canonical(chosen, error);
        if (error)
            return false;
        target = resolved;
    }

    CFileHandle file;
    std::filesystem::path temporary;
    for (unsigned attempt = 0; attempt < 16 && file.Get() == nullptr; ++attempt) {
        temporary = TemporaryBeside(target, attempt);
        if (!file.CreateNew(temporary) && errno != EEXIST)
            return false;
    }
    if (file.Get() == nullptr)
        return false;

    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.Get()) == bytes.size() &&
                         std::fflush(file.Get()) == 0 && FlushToDisk(file.Get());
    const bool closed = file.Close();
    if (written && closed) {
        // A folder or another non-file in the target's place must stay as it is.
        const auto status = std::filesystem::status(target, error);
        const bool exists = std::filesystem::exists(status);
        if (!exists || std::filesystem::is_regular_file(status)) {
            // The replacement keeps the permissions of the file it replaces.
            if (exists)
                std::filesystem::permissions(temporary, status.permissions(), error);
            // No flush of the folder after the rename: it would be a second disk flush per
            // save, half as long again. The data is on the disk before the rename, so a crash
            // leaves the old file or the new one, whole, never a damaged one.
            std::filesystem::rename(temporary, target, error);
            if (!error)
                return true;
        }
    }
    std::filesystem::remove(temporary, error);
    return false;
}

} // namespace orvalen
