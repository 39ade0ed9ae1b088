#pragma once

// Reading and replacing whole files without blocking on them or damaging them.
//
// WriteFileSafely replaces a file so that at every moment the target holds either its old
// bytes or all the new ones, and reports success only once the new file and the folder entry
// naming it are on the disk. A target the user may not write, a folder or any other non-file
// in its place is refused and left as it was; a link is followed to the file it names, even
// one that does not exist yet. The new file is never readable by more people than the target:
// it is written privately and takes the target's mode (and, where the user may set them, its
// owner and group) before it replaces it. No temporary file is left behind on failure.
//
// ReadRegularFile reads a file without ever waiting for a writer: anything but a regular
// file is refused before it is read.

#include "Status.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace orvalen {

CStatus WriteFileSafely(const std::filesystem::path& target, std::string_view bytes);

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

namespace detail {
// Tells the observer, if any: for the platform files.
void NotifyFlushed(FlushedItem item, const std::filesystem::path& path);
// The name of a temporary file beside the target: ".orvalen-" and six random letters or
// digits, short whatever the target's name.
std::string TemporaryName();
} // namespace detail

} // namespace orvalen
