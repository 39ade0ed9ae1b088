// The drive letters behind PlayerDrive.h on Windows.

#include "PlayerDrive.h"

#include <cwchar>

#include <windows.h>

namespace orvalen {
namespace {

// The system's "insert a disk" boxes stay away while it lives: an empty card reader is then
// only a drive without a volume.
class CNoCriticalErrorBoxes {
public:
    CNoCriticalErrorBoxes() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &m_previous); }
    ~CNoCriticalErrorBoxes() { SetThreadErrorMode(m_previous, nullptr); }
    CNoCriticalErrorBoxes(const CNoCriticalErrorBoxes&) = delete;
    CNoCriticalErrorBoxes& operator=(const CNoCriticalErrorBoxes&) = delete;

private:
    DWORD m_previous = 0;
};

std::string Utf8(const wchar_t* text) {
    const int units = static_cast<int>(wcslen(text));
    if (units == 0)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, units, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

} // namespace

std::vector<PlayerDrive> FindPlayerDrives(const PlayerProbe&) {
    const CNoCriticalErrorBoxes quiet;
    std::vector<PlayerDrive> drives;
    const DWORD letters = GetLogicalDrives();
    for (int k = 0; k < 26; ++k) {
        if ((letters & (1u << k)) == 0)
            continue;
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + k), L':', L'\\', L'\0'};
        // Never a network drive: only removable ones are asked about their volume.
        if (GetDriveTypeW(root) != DRIVE_REMOVABLE)
            continue;
        wchar_t label[MAX_PATH + 1] = {};
        wchar_t fileSystem[MAX_PATH + 1] = {};
        if (GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, fileSystem,
                                  MAX_PATH + 1) == 0)
            continue; // no medium
        PlayerDrive drive;
        drive.root = std::filesystem::path(root);
        drive.fileSystem = Utf8(fileSystem);
        drive.label = Utf8(label);
        detail::Describe(drive);
        drives.push_back(std::move(drive));
    }
    detail::Rank(drives);
    return drives;
}

} // namespace orvalen
