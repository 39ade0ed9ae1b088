#include "DeviceBookFile.h"

#include "Messages.h"
#include "SaveCommand.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace orvalen {
namespace {

constexpr unsigned char kSignature[] = {0x55, 0xAA, 0x68, 0x68};
constexpr std::size_t kCountOffset = 4;
constexpr std::size_t kMinFileSize = CDeviceBookFile::kHeaderSize + CDeviceBookFile::kRecordSize;

// A record is the six fields packed at their maximum lengths, so the table stores and gives it
// whole.
static_assert(CContactTable::kPackedSize == CDeviceBookFile::kRecordSize);

TelFileImage Refused(std::string_view message, std::uintmax_t size = 0) {
    TelFileImage image;
    image.error = message;
    image.size = size;
    return image;
}

} // namespace

std::optional<std::string> CDeviceBookFile::BuildImage(const CBookEditor& editor) {
    const CContactTable& table = editor.Table();
    const int count = editor.List().GetCount();
    if (count < 0 || count > kMaxContacts)
        return std::nullopt;

    std::string image(kFileSize, '\0');
    std::copy(std::begin(kSignature), std::end(kSignature), image.begin());
    image[kCountOffset] = static_cast<char>(static_cast<unsigned char>(count));

    const std::vector<int> listed = editor.FindAllListed();
    for (int position = 0; position < count; ++position) {
        const int index = listed[static_cast<std::size_t>(position)];
        if (index == CContactTable::kNone)
            return std::nullopt;
        const std::size_t record = kHeaderSize + kRecordSize * static_cast<std::size_t>(position);
        table.CopyPacked(index, std::span(image).subspan(record, kRecordSize));
    }
    return image;
}

bool CDeviceBookFile::SaveTo(CBookEditor& editor, const std::filesystem::path& path) {
    return SaveBytes(editor, path, BuildImage(editor));
}

void CDeviceBookFile::Save(CBookEditor& editor) {
    RunSaveCommand(editor, kSaveName, kFilter, &CDeviceBookFile::SaveTo);
}

TelFileImage CDeviceBookFile::ReadImage(const std::filesystem::path& path) {
#if defined(_WIN32)
    std::FILE* opened = _wfopen(path.c_str(), L"rb");
#else
    std::FILE* opened = std::fopen(path.c_str(), "rb");
#endif
    if (opened == nullptr)
        return Refused(messages::kFileGetFail);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(opened, &std::fclose);

    // One unbuffered read of one byte more than the largest file: what it returns is the size,
    // so no size query, seek or second copy is needed. A folder fails the read.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    decltype(TelFileImage::bytes) bytes(kFileSize + 1);
    const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get()))
        return Refused(messages::kFileGetFail);
    std::uintmax_t size = read;
    if (read > kFileSize) {
        std::error_code error;
        const auto whole = std::filesystem::file_size(path, error);
        size = error ? read : whole;
    }

    for (std::size_t i = 0; i < std::size(kSignature); ++i) {
        // A file too short to hold the signature and count cannot match it.
        if (read <= kCountOffset || static_cast<unsigned char>(bytes[i]) != kSignature[i])
            return Refused(messages::kNotTelFile, size);
    }
    if (size % kRecordSize != 0 || size < kMinFileSize || size > kFileSize)
        return Refused(messages::kNotTelFile, size);

    TelFileImage image;
    image.size = size;
    bytes.resize(read);
    image.bytes = std::move(bytes);
    image.recordPlaces = static_cast<int>((size - kHeaderSize) / kRecordSize);
    const int countByte = static_cast<unsigned char>(image.bytes[kCountOffset]);
    image.recordsToRead = std::min(countByte, image.recordPlaces);
    return image;
}

void CDeviceBookFile::LoadImage(CBookEditor& editor, const TelFileImage& image) {
    if (!image.IsLoadable())
        return;
    editor.Clear();
    CContactTable& table = editor.Table();
    CNameList& list = editor.List();
    for (int r = 0; r < image.recordsToRead; ++r) {
        const std::string_view record(image.bytes.data() + kHeaderSize +
                                          kRecordSize * static_cast<std::size_t>(r),
                                      kRecordSize);
        list.AddString(table.StorePacked(r, record));
    }
    table.SetCount(list.GetCount());
    if (image.recordsToRead > 0) {
        list.SetCurSel(list.GetCount() - 1);
        editor.ShowSelected();
    }
}

void CDeviceBookFile::Load(CBookEditor& editor) {
    const auto path = editor.View().ChooseFile(FileMode::open, kLoadName, kFilter);
    if (!path)
        return;
    const TelFileImage image = ReadImage(*path);
    if (!image.IsLoadable()) {
        editor.View().ShowMessage(image.error, MessageIcon::error, MessageButtons::ok);
        return;
    }
    LoadImage(editor, image);
}

} // namespace orvalen
