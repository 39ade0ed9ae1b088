// libFuzzer target: any bytes as a .tel file given to "Load".

#include "TelLoadCheck.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

fs::path g_folder;

// Saves fsync; a memory file system keeps that cheap where there is one.
fs::path MakeWorkFolder() {
    std::error_code error;
    fs::path root = fs::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0
                        ? fs::path("/dev/shm")
                        : fs::temp_directory_path();
    fs::path folder = root / ("orvalen-fuzz-tel-" + std::to_string(::getpid()));
    fs::create_directories(folder, error);
    return folder;
}

void RemoveWorkFolder() {
    std::error_code error;
    fs::remove_all(g_folder, error);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_folder = MakeWorkFolder();
    std::atexit(RemoveWorkFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto broken = orvalen::fuzz::CheckTelLoad(bytes, g_folder)) {
        std::fprintf(stderr, "property broken: %s\n", broken->c_str());
        std::abort();
    }
    return 0;
}
