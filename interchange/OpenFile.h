#pragma once

// Opens a file for reading in binary mode by its whole path, as the system spells paths.
// Returns nullptr with errno set on failure; the caller closes the file.

#include <cstdio>
#include <filesystem>

namespace orvalen {

std::FILE* OpenForReading(const std::filesystem::path& path);

} // namespace orvalen
