#include "SafeFile.h"

#include <random>

namespace orvalen {
namespace {

FlushObserver g_flushObserver = nullptr;

} // namespace

FlushObserver SetFlushObserver(FlushObserver observer) {
    const FlushObserver previous = g_flushObserver;
    g_flushObserver = observer;
    return previous;
}

namespace detail {

void NotifyFlushed(FlushedItem item, const std::filesystem::path& path) {
    if (g_flushObserver != nullptr)
        g_flushObserver(item, path);
}

std::string TemporaryName() {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
    std::string name = ".orvalen-";
    for (int i = 0; i < 6; ++i)
        name += kLetters[pick(random)];
    return name;
}

} // namespace detail
} // namespace orvalen
