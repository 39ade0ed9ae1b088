#pragma once

// Where a contacts file's bytes come from, a chunk at a time. Promises: Read returns within
// about 100 ms of a cancel even when the source has nothing to give (a pipe nobody writes, a
// device that never ends a read). Internal to the library; platform parts in ByteSource*.cpp.

#include "ContactReader.h"
#include "Status.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace orvalen {

class CByteSource {
public:
    virtual ~CByteSource() = default;
    // The bytes read into buffer; 0 at the end; cancelled or the system's error.
    // stallLimitMs, when not 0, ends a wait for bytes that lasts that long (ETIMEDOUT).
    virtual CResult<std::size_t> Read(std::span<char> buffer, const CReadCancel* cancel,
                                      int stallLimitMs) = 0;
    // The size when known (a regular file), else 0.
    virtual std::uint64_t Size() const { return 0; }
};

// A file opened for reading without blocking its reader; a folder is refused (isFolder).
CResult<std::unique_ptr<CByteSource>> OpenByteSource(const std::filesystem::path& path);

} // namespace orvalen
