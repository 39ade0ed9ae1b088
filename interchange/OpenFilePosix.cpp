#include "OpenFile.h"

namespace orvalen {

std::FILE* OpenForReading(const std::filesystem::path& path) {
    return std::fopen(path.c_str(), "rb");
}

} // namespace orvalen
