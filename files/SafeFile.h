#pragma once

#include <filesystem>
#include <string_view>

namespace orvalen {

// Replaces target with bytes without ever leaving it damaged: writes a new temporary file in
// the target's folder, checks every write, flushes it to the disk, and renames it over the
// target. On any failure the target is as it was and no temporary file is left behind.
bool WriteFileSafely(const std::filesystem::path& target, std::string_view bytes);

} // namespace orvalen
