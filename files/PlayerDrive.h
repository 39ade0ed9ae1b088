#pragma once

// The mounted volumes that may be the MP3 player, found each time they are asked for (a player
// plugged in later is found) without waiting on anything that could block.
//
// POSIX systems: the mounts under /media, /run/media or /mnt, or on a disk the system calls
// removable, with a file system of a local disk; FAT, exFAT and FUSE FAT first. /boot, /efi and
// the EFI system partition never count, and network or other FUSE mounts are never looked at
// (no stat, no read: a dead server would hang the caller). Windows: the removable drives
// (never a network drive) that hold a medium, asked with the system's error boxes off so that an
// empty card reader shows none. Either way, those whose root holds Tel_Expt.tel or Tel_Save.tel
// come first.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvalen {

struct PlayerDrive {
    std::filesystem::path root;
    std::string fileSystem;            // as the system names it: "vfat", "exfat", "FAT32"
    std::string label;                 // the volume's label; empty where it has none
    std::vector<std::string> telFiles; // the names of the .tel files in its root, sorted
    bool holdsExport = false;          // Tel_Expt.tel, in any case of letters
    bool holdsSave = false;            // Tel_Save.tel, in any case of letters
};

// Where the POSIX search reads; tests name folders of their own. Unused on Windows.
struct PlayerProbe {
    std::filesystem::path mountTable = "/proc/self/mounts";
    std::filesystem::path sysBlock = "/sys/block";        // <disk>/removable, <disk>/<part>/dev
    std::filesystem::path udevData = "/run/udev/data";    // b<major>:<minor>: partition types
    std::filesystem::path byLabel = "/dev/disk/by-label"; // label -> device links
    std::filesystem::path fileRoot = "/";                 // where the mount points' files lie
};
// Replaces the probe FindPlayerDrives() uses; returns the one it replaces.
PlayerProbe SetPlayerProbe(const PlayerProbe& probe);

std::vector<PlayerDrive> FindPlayerDrives();
std::vector<PlayerDrive> FindPlayerDrives(const PlayerProbe& probe);

// The folder the Save and Load choosers open in: the root of the player that holds
// Tel_Expt.tel, else of the first; nothing without a player.
std::optional<std::filesystem::path> PlayerFolder(std::span<const PlayerDrive> drives);

namespace detail {
// Fills in the .tel files of drive.root and ranks the drives: those holding the player's files
// first, then FAT, exFAT and FUSE FAT, else in the order found. For the platform files.
void Describe(PlayerDrive& drive);
void Rank(std::vector<PlayerDrive>& drives);
} // namespace detail

} // namespace orvalen
