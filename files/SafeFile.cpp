#include "SafeFile.h"

#include <random>
#include <system_error>

namespace orvalen {
namespace {

FlushObserver g_flushObserver = nullptr;
SaveSeam g_seam;

constexpr std::string_view kTemporaryPrefix = ".orvalen-";
constexpr std::size_t kTemporaryLetters = 6;

} // namespace

FlushObserver SetFlushObserver(FlushObserver observer) {
    const FlushObserver previous = g_flushObserver;
    g_flushObserver = observer;
    return previous;
}

SaveSeam SetSaveSeam(const SaveSeam& seam) {
    const SaveSeam previous = g_seam;
    g_seam = seam;
    return previous;
}

namespace detail {

int SeamFault(SaveStep step) {
    return g_seam.atStep != nullptr ? g_seam.atStep(step) : 0;
}

bool IsTemporaryName(std::string_view name) {
    if (name.size() != kTemporaryPrefix.size() + kTemporaryLetters ||
        !name.starts_with(kTemporaryPrefix))
        return false;
    for (const char c : name.substr(kTemporaryPrefix.size())) {
        const bool letterOrDigit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit)
            return false;
    }
    return true;
}

void RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& own) {
    namespace fs = std::filesystem;
    std::error_code error;
    // The new file's time is the folder's clock: FAT keeps local time, and a player's folder may
    // be on a computer whose clock is another.
    const fs::file_time_type now = fs::last_write_time(folder / own, error);
    if (error)
        return;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name == own || !IsTemporaryName(name) || !it->is_regular_file(error) || error) {
            error.clear();
            continue;
        }
        const fs::file_time_type written = fs::last_write_time(it->path(), error);
        if (!error && now - written >= g_seam.staleAge)
            fs::remove(it->path(), error);
        error.clear();
    }
}

void NotifyFlushed(FlushedItem item, const std::filesystem::path& path) {
    if (g_flushObserver != nullptr)
        g_flushObserver(item, path);
}

std::string TemporaryName() {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
    std::string name(kTemporaryPrefix);
    for (std::size_t i = 0; i < kTemporaryLetters; ++i)
        name += kLetters[pick(random)];
    return name;
}

} // namespace detail
} // namespace orvalen
