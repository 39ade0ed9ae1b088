#include "OpenFile.h"

namespace orvalen {

// Wide names reach every file, whatever the ANSI code page.
std::FILE* OpenForReading(const std::filesystem::path& path) {
    return _wfopen(path.c_str(), L"rb");
}

} // namespace orvalen
