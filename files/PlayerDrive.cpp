#include "PlayerDrive.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <system_error>

namespace orvalen {
namespace {

PlayerProbe g_probe;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool IsFat(std::string_view fileSystem) {
    const std::string name = Lower(fileSystem);
    return name == "vfat" || name == "msdos" || name == "exfat" || name == "fuseblk" ||
           name == "fuse.fusefat" || name == "fuse.exfat" || name == "fat" || name == "fat32" ||
           name == "fat16" || name == "fat12";
}

} // namespace

PlayerProbe SetPlayerProbe(const PlayerProbe& probe) {
    PlayerProbe previous = g_probe;
    g_probe = probe;
    return previous;
}

std::vector<PlayerDrive> FindPlayerDrives() {
    return FindPlayerDrives(g_probe);
}

std::optional<std::filesystem::path> PlayerFolder(std::span<const PlayerDrive> drives) {
    if (drives.empty())
        return std::nullopt;
    for (const PlayerDrive& drive : drives) {
        if (drive.holdsExport)
            return drive.root;
    }
    return drives.front().root;
}

namespace detail {

void Describe(PlayerDrive& drive) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(drive.root, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::string lower = Lower(name);
        if (!lower.ends_with(".tel"))
            continue;
        drive.telFiles.push_back(name);
        drive.holdsExport = drive.holdsExport || lower == "tel_expt.tel";
        drive.holdsSave = drive.holdsSave || lower == "tel_save.tel";
    }
    std::sort(drive.telFiles.begin(), drive.telFiles.end());
}

void Rank(std::vector<PlayerDrive>& drives) {
    const auto rank = [](const PlayerDrive& drive) {
        return (drive.holdsExport || drive.holdsSave ? 0 : 2) + (IsFat(drive.fileSystem) ? 0 : 1);
    };
    std::stable_sort(drives.begin(), drives.end(),
                     [&](const PlayerDrive& a, const PlayerDrive& b) { return rank(a) < rank(b); });
}

} // namespace detail
} // namespace orvalen
