#pragma once

// The player's phone-book file: a 512-byte header (55 AA 68 68, count byte) and 128-byte
// records, 26112 bytes when written. Save writes the listed contacts in list order through a
// safe replace; Load reads and checks the whole file before the phone book changes, and never
// waits on anything but a regular file.

#include "BookEditor.h"
#include "Status.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace orvalen {

// A .tel file read whole and checked, before anything in the phone book changes.
struct TelFileImage {
    std::uintmax_t size = 0;        // bytes in the file
    int recordPlaces = 0;           // (size - 512) / 128
    int recordsToRead = 0;          // the smaller of the count byte and the record places
    std::unique_ptr<char[]> buffer; // holds bytes
    std::string_view bytes;         // the whole file
};

class CDeviceBookFile {
public:
    static constexpr std::string_view kFilter = "ZUM orvalen file(*.tel)|*.tel|";
    static constexpr std::string_view kSaveName = "Tel_Save.tel";
    static constexpr std::string_view kLoadName = "Tel_Expt.tel";
    static constexpr std::size_t kHeaderSize = 512;
    static constexpr std::size_t kRecordSize = 128;
    static constexpr std::size_t kFileSize = kHeaderSize + kRecordSize * kMaxContacts; // 26112

    // Where Save and Load open: the player's root, probed as the chooser opens (a player plugged
    // in since is found), or nothing.
    static std::filesystem::path ChooserFolder();
    // The "Save" and "Load" buttons.
    static void Save(CBookEditor& editor);
    static void Load(CBookEditor& editor);

    // The steps the buttons are made of, for callers that already have a path.
    // Load of a path already chosen (a file dropped on the window).
    static void LoadFrom(CBookEditor& editor, const std::filesystem::path& path);
    // SaveTo reports a failure through the editor's view as well as returning it.
    static CStatus SaveTo(CBookEditor& editor, const std::filesystem::path& path);
    // The checked file; refused as notPhoneBookFile for a wrong signature or size, and as
    // notRegularFile for a pipe, device or the like.
    static CResult<TelFileImage> ReadImage(const std::filesystem::path& path);
    // The same check of bytes already read (standard input), which path names in a refusal.
    static CResult<TelFileImage> ImageOf(std::string_view bytes, const std::filesystem::path& path);
    // Replaces the phone book with the image and shows the last name in sorted order.
    static void LoadImage(CBookEditor& editor, const TelFileImage& image);
    // The 26112 bytes Save writes; listMismatch when a listed name is missing from the table.
    static CResult<std::string> BuildImage(const CBookEditor& editor);
    // The message "Load" shows for a refused file.
    static std::string_view LoadMessage(const CStatus& refusal);
};

} // namespace orvalen
