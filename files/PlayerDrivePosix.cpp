// The mount table, sysfs and udev's records behind PlayerDrive.h on Linux.

#include "PlayerDrive.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <sstream>
#include <string_view>
#include <system_error>

namespace orvalen {
namespace {

namespace fs = std::filesystem;

// Local disks' file systems: only these mounts are looked into. Network file systems and FUSE
// file systems other than FAT's (sshfs, rclone, gvfs...) may hang whoever touches them.
constexpr std::array<std::string_view, 16> kLocalFileSystems = {
    "vfat", "msdos", "exfat", "fuseblk", "fuse.fusefat", "fuse.exfat", "ntfs", "ntfs3",
    "ext2", "ext3",  "ext4",  "hfsplus", "btrfs",        "xfs",        "f2fs", "udf"};

constexpr std::string_view kEfiPartitionType = "c12a7328-f81f-11d2-ba4b-00a0c93ec93b";

bool IsLocal(std::string_view fileSystem) {
    return std::find(kLocalFileSystems.begin(), kLocalFileSystems.end(), fileSystem) !=
           kLocalFileSystems.end();
}

// The mount table writes blanks, tabs, newlines and backslashes as \040, \011, \012, \134.
std::string Unescape(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            field.substr(i + 1, 3).find_first_not_of("01234567") == std::string_view::npos) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

// udev writes a label's odd characters as \xHH.
std::string UnescapeLabel(std::string_view name) {
    std::string text;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            text += static_cast<char>(std::stoi(std::string(name.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            text += name[i];
        }
    }
    return text;
}

std::string FirstLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

bool IsUnder(std::string_view path, std::string_view folder) {
    return path == folder ||
           (path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

// What sysfs and udev tell of a block device: its disk is removable, it is the EFI partition.
struct CDeviceFacts {
    bool removable = false;
    bool efi = false;
};

CDeviceFacts FactsOf(const PlayerProbe& probe, const std::string& device) {
    CDeviceFacts facts;
    if (!device.starts_with("/dev/"))
        return facts;
    const std::string name = fs::path(device).filename().string();
    std::error_code error;
    fs::path disk = probe.sysBlock / name;
    fs::path self = disk;
    if (!fs::exists(disk / "removable", error)) {
        // A partition: the disk is the folder that holds it.
        disk.clear();
        for (fs::directory_iterator it(probe.sysBlock, error), end; !error && it != end;
             it.increment(error)) {
            if (fs::exists(it->path() / name, error)) {
                disk = it->path();
                self = it->path() / name;
                break;
            }
        }
        if (disk.empty())
            return facts;
    }
    facts.removable = FirstLine(disk / "removable") == "1";
    const std::string numbers = FirstLine(self / "dev");
    if (!numbers.empty()) {
        std::ifstream record(probe.udevData / ("b" + numbers));
        for (std::string line; std::getline(record, line);) {
            if (line == "E:ID_PART_ENTRY_TYPE=" + std::string(kEfiPartitionType))
                facts.efi = true;
        }
    }
    return facts;
}

std::string LabelOf(const PlayerProbe& probe, const std::string& device) {
    std::error_code error;
    const std::string name = fs::path(device).filename().string();
    for (fs::directory_iterator it(probe.byLabel, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (!linkError && target.filename() == name)
            return UnescapeLabel(it->path().filename().string());
    }
    return {};
}

} // namespace

std::vector<PlayerDrive> FindPlayerDrives(const PlayerProbe& probe) {
    std::vector<PlayerDrive> drives;
    std::ifstream table(probe.mountTable);
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string device;
        std::string mountPoint;
        std::string fileSystem;
        if (!(fields >> device >> mountPoint >> fileSystem))
            continue;
        device = Unescape(device);
        mountPoint = Unescape(mountPoint);
        // Nothing of a network or FUSE mount but its line is read.
        if (!IsLocal(fileSystem) || !mountPoint.starts_with('/'))
            continue;
        if (IsUnder(mountPoint, "/boot") || IsUnder(mountPoint, "/efi"))
            continue;
        const CDeviceFacts facts = FactsOf(probe, device);
        const bool placed = IsUnder(mountPoint, "/media") || IsUnder(mountPoint, "/run/media") ||
                            IsUnder(mountPoint, "/mnt");
        if (facts.efi || (!placed && !facts.removable))
            continue;
        PlayerDrive drive;
        drive.root = mountPoint == "/" ? probe.fileRoot
                                       : probe.fileRoot / fs::path(mountPoint).relative_path();
        const bool seen = std::any_of(drives.begin(), drives.end(),
                                      [&](const PlayerDrive& d) { return d.root == drive.root; });
        if (seen)
            continue;
        drive.fileSystem = fileSystem;
        drive.label = LabelOf(probe, device);
        detail::Describe(drive);
        drives.push_back(std::move(drive));
    }
    detail::Rank(drives);
    return drives;
}

} // namespace orvalen
