#include "Status.h"
#include "PathText.h"

#include <cerrno>
#include <cstring>

namespace orvalen {
namespace {

StatusKind KindOfErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return StatusKind::notFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return StatusKind::notPermitted;
    case ENOSPC:
    case EFBIG:
#if defined(EDQUOT)
    case EDQUOT:
#endif
        return StatusKind::noSpace;
    case EISDIR:
        return StatusKind::isFolder;
    case ENAMETOOLONG:
        return StatusKind::nameTooLong;
    default:
        return StatusKind::ioError;
    }
}

const char* KindSentence(StatusKind kind) {
    switch (kind) {
    case StatusKind::ok:
        return "Success";
    case StatusKind::notFound:
        return "No such file or folder";
    case StatusKind::notPermitted:
        return "Permission denied";
    case StatusKind::noSpace:
        return "No space left on the disk";
    case StatusKind::isFolder:
        return "It is a folder";
    case StatusKind::notRegularFile:
        return "Not a regular file";
    case StatusKind::nameTooLong:
        return "File name too long";
    case StatusKind::notPhoneBookFile:
        return "Not a phone-book file";
    case StatusKind::tooLarge:
        return "The file is too large";
    case StatusKind::sameFile:
        return "Input and output are the same file";
    case StatusKind::malformed:
        return "The file is damaged or not in the expected format";
    case StatusKind::encoding:
        return "Text the character set cannot carry";
    case StatusKind::unknownFormat:
        return "Unknown file format";
    case StatusKind::noContacts:
        return "No contacts";
    case StatusKind::listMismatch:
        return "The name list and the phone book disagree";
    case StatusKind::writtenNotFlushed:
        return "The file was written but may not be on the disk yet: save again, or eject the "
               "disk safely before unplugging it";
    case StatusKind::cancelled:
        return "Cancelled";
    case StatusKind::ioError:
        break;
    }
    return "Input/output error";
}

} // namespace

CStatus CStatus::FromErrno(int error, std::filesystem::path path) {
    CStatus status(KindOfErrno(error), std::move(path));
    status.m_systemError = error;
    return status;
}

std::string CStatus::Reason() const {
    std::string reason = m_systemError != 0 ? std::strerror(m_systemError) : KindSentence(m_kind);
    // The system's words alone would read as a failed write.
    if (m_kind == StatusKind::writtenNotFlushed && m_systemError != 0)
        reason = KindSentence(m_kind) + std::string(" (") + reason + ')';
    if (!m_detail.empty()) {
        reason += " (";
        reason += m_detail;
        reason += ')';
    }
    return reason;
}

std::string CStatus::Describe() const {
    std::string text = Reason();
    if (!m_path.empty()) {
        text += ": ";
        text += PathToUtf8(m_path);
    }
    if (m_line > 0)
        text += ", line " + std::to_string(m_line);
    return text;
}

} // namespace orvalen
