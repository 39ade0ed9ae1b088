#pragma once

// The one result of every file and interchange operation: success, or what went wrong as data
// (a kind, the system's error number where the system gave one, the path, and the line or a
// short detail where the input gave one). Front ends word it; nothing looks inside a message to
// learn what failed. A CResult<T> is a value or the status that explains why there is none.

#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace orvalen {

enum class StatusKind {
    ok,
    notFound,         // no such file or folder
    notPermitted,     // the user may not read or write it (or it is write-protected)
    noSpace,          // the disk, a quota or the file-size limit is full
    isFolder,         // a folder where a file is needed
    notRegularFile,   // a pipe, device or socket where a file is needed
    nameTooLong,      // the path or one of its names is longer than the system allows
    notPhoneBookFile, // not a .tel file: signature or size
    tooLarge,         // the input is over our own limit
    sameFile,         // input and output are the same file
    malformed,        // the input's syntax is broken (detail and line say where)
    encoding,         // text the code page or the input's character set cannot carry
    unknownFormat,    // nothing tells how to read or write it
    noContacts,       // nothing to write or show
    listMismatch,     // the name list and the table disagree: a fault of ours
    cancelled,        // the user stopped it
    ioError,          // any other failure the system reported
    // The file was replaced, then the system failed to flush its folder: it holds the new bytes,
    // which may not be on the disk yet. Not "nothing changed".
    writtenNotFlushed,
};

class CStatus {
public:
    CStatus() = default; // success
    CStatus(StatusKind kind, std::filesystem::path path = {}, std::string detail = {})
        : m_kind(kind), m_path(std::move(path)), m_detail(std::move(detail)) {}

    // A failure the system reported through errno, classified by that number.
    static CStatus FromErrno(int error, std::filesystem::path path = {});

    bool IsOk() const { return m_kind == StatusKind::ok; }
    explicit operator bool() const { return IsOk(); }
    StatusKind Kind() const { return m_kind; }
    int SystemError() const { return m_systemError; } // 0 where the system gave none
    const std::filesystem::path& Path() const { return m_path; }
    const std::string& Detail() const { return m_detail; }
    int Line() const { return m_line; } // 0 where no line is known

    CStatus& WithPath(std::filesystem::path path) {
        m_path = std::move(path);
        return *this;
    }
    CStatus& WithLine(int line) {
        m_line = line;
        return *this;
    }
    CStatus& WithSystemError(int error) {
        m_systemError = error;
        return *this;
    }

    // The reason in plain words: the system's own text where it gave an error number, else a
    // sentence for the kind, then the detail. No path.
    std::string Reason() const;
    // "Reason: path" (or the reason alone without a path): the line under a failed command.
    std::string Describe() const;

private:
    StatusKind m_kind = StatusKind::ok;
    int m_systemError = 0;
    int m_line = 0;
    std::filesystem::path m_path;
    std::string m_detail;
};

// A value, or the status that says why there is none.
template <typename T> class CResult {
public:
    CResult(T value) : m_value(std::move(value)) {}
    CResult(CStatus status) : m_status(std::move(status)) {}

    bool IsOk() const { return m_status.IsOk() && m_value.has_value(); }
    explicit operator bool() const { return IsOk(); }
    const CStatus& Status() const { return m_status; }
    T& Value() { return *m_value; }
    const T& Value() const { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }

private:
    CStatus m_status;
    std::optional<T> m_value;
};

} // namespace orvalen
