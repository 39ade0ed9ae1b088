#pragma once

// Reading and replacing whole files without blocking on them or damaging them.
//
// WriteFileSafely replaces a file so that at every moment the target holds either its old
// bytes or all the new ones, and reports success only once the new file and the folder entry
// naming it are on the disk. A target the user may not write, a folder or any other non-file
// in its place is refused and left as it was; a link is followed to the file it names, even
// one that does not exist yet. The new file is never readable by more people than the target:
// it is written privately and takes the target's mode (and, where the user may set them, its
// owner and group) before it replaces it; a file system that keeps no modes or owners (FAT,
// exFAT, FUSE) saves without them. No temporary file is left behind on failure, and every save
// removes the temporary files of earlier saves that were killed (".orvalen-" and six letters or
// digits, five minutes or more older than its own, by the folder's clock). A failure after
// the rename is writtenNotFlushed: the target holds the new bytes, but they may not be on the
// disk yet.
//
// ReadRegularFile reads a file without ever waiting for a writer: anything but a regular
// file is refused before it is read.

#include "Status.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace orvalen {

CStatus WriteFileSafely(const std::filesystem::path& target, std::string_view bytes);

// A terminal, another character device or a pipe (/dev/stdout): no file to replace, written
// directly by WriteStream as it comes.
bool IsStream(const std::filesystem::path& path);
CStatus WriteStream(const std::filesystem::path& path, std::string_view bytes);

struct FileBytes {
    std::unique_ptr<char[]> buffer; // not zero-filled first: the read fills what bytes shows
    std::string_view bytes;         // the file's first bytes, at most the capacity asked for
    std::uintmax_t size = 0;        // the whole file's size
};
CResult<FileBytes> ReadRegularFile(const std::filesystem::path& path, std::size_t capacity);

// What a flush to the disk pushed out: a new file's data, or a folder's entries after a rename.
enum class FlushedItem { file, folder };
// Called after every successful flush with what was flushed and its path; tests count the
// flushes through it. Null (the default) observes nothing. Returns the observer it replaces.
using FlushObserver = void (*)(FlushedItem item, const std::filesystem::path& path);
FlushObserver SetFlushObserver(FlushObserver observer);

// Where tests reach into a save. A save calls atStep just before each step's system call; a
// nonzero return is the error number the step then fails with, without the call being made.
enum class SaveStep { setOwner, setMode, rename, flushFolder };
struct SaveSeam {
    int (*atStep)(SaveStep step) = nullptr;
    // A temporary file of ours at least this much older than the new one is a killed save's.
    std::chrono::seconds staleAge = std::chrono::minutes(5);
};
// Returns the seam it replaces.
SaveSeam SetSaveSeam(const SaveSeam& seam);

// While it lives, SIGINT, SIGTERM and SIGHUP wait (on POSIX systems; nothing elsewhere): a
// command-line save holds them so that they take effect only once the file is in place or
// removed, never leaving a temporary file behind.
class CQuitSignalsHeld {
public:
    CQuitSignalsHeld();
    ~CQuitSignalsHeld();
    CQuitSignalsHeld(const CQuitSignalsHeld&) = delete;
    CQuitSignalsHeld& operator=(const CQuitSignalsHeld&) = delete;

private:
    alignas(8) unsigned char m_saved[128] = {}; // the thread's signal mask before
    bool m_held = false;
};

namespace detail {
// The error number atStep gives for the step, 0 to make the call.
int SeamFault(SaveStep step);
// Removes, best effort, the temporary files of killed saves in folder: those of ours at least
// the seam's stale age older than the new temporary file `own` (a name in folder).
void RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& own);
// Tells the observer, if any: for the platform files.
void NotifyFlushed(FlushedItem item, const std::filesystem::path& path);
// The name of a temporary file beside the target: ".orvalen-" and six random letters or
// digits, short whatever the target's name.
std::string TemporaryName();
bool IsTemporaryName(std::string_view name);
} // namespace detail

} // namespace orvalen
