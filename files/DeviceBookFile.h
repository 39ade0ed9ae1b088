#pragma once

#include "BookEditor.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvalen {

// An allocator that leaves new elements uninitialised: a buffer a file is read into at once
// need not be zero-filled first.
template <typename T> struct CUninitializedAllocator : std::allocator<T> {
    template <typename U> struct rebind { using other = CUninitializedAllocator<U>; };
    template <typename U> void construct(U* place) { ::new (static_cast<void*>(place)) U; }
    template <typename U, typename... Args> void construct(U* place, Args&&... args) {
        std::construct_at(place, std::forward<Args>(args)...);
    }
};

// A .tel file read whole and checked, before anything in the phone book changes.
struct TelFileImage {
    std::string_view error;  // empty when the file can be loaded, else the message to show
    std::uintmax_t size = 0; // bytes in the file
    int recordPlaces = 0;    // (size - 512) / 128
    int recordsToRead = 0;   // the smaller of the count byte and the record places
    std::vector<char, CUninitializedAllocator<char>> bytes; // the whole file when loadable

    bool IsLoadable() const { return error.empty(); }
};

// The player's phone-book file: a 512-byte header (55 AA 68 68, count byte) and 128-byte records.
class CDeviceBookFile {
public:
    static constexpr std::string_view kFilter = "ZUM orvalen file(*.tel)|*.tel|";
    static constexpr std::string_view kSaveName = "Tel_Save.tel";
    static constexpr std::string_view kLoadName = "Tel_Expt.tel";
    static constexpr std::size_t kHeaderSize = 512;
    static constexpr std::size_t kRecordSize = 128;
    static constexpr std::size_t kFileSize = kHeaderSize + kRecordSize * kMaxContacts; // 26112

    // The "Save" and "Load" buttons.
    static void Save(CBookEditor& editor);
    static void Load(CBookEditor& editor);

    // The steps the buttons are made of, for callers that already have a path.
    // SaveTo and the image builder report their failures through the editor's view.
    // Load of a path already chosen (a file dropped on the window).
    static void LoadFrom(CBookEditor& editor, const std::filesystem::path& path);
    static bool SaveTo(CBookEditor& editor, const std::filesystem::path& path);
    static TelFileImage ReadImage(const std::filesystem::path& path);
    // Replaces the phone book with a loadable image and shows the last name in sorted order.
    static void LoadImage(CBookEditor& editor, const TelFileImage& image);
    // The 26112 bytes Save writes; nothing when a listed name is missing from the table.
    static std::optional<std::string> BuildImage(const CBookEditor& editor);
};

} // namespace orvalen
