#include "DeviceBookFile.h"

#include "Messages.h"
#include "PlayerDrive.h"
#include "SafeFile.h"
#include "SaveCommand.h"

#include <algorithm>
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

bool HasSignature(std::string_view bytes) {
    return bytes.size() > kCountOffset &&
           std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin(),
                      [](unsigned char expected, char byte) {
                          return static_cast<unsigned char>(byte) == expected;
                      });
}

bool HasRecordSize(std::uintmax_t size) {
    return size % CDeviceBookFile::kRecordSize == 0 && size >= kMinFileSize &&
           size <= CDeviceBookFile::kFileSize;
}

} // namespace

CResult<std::string> CDeviceBookFile::BuildImage(const CBookEditor& editor) {
    const CContactTable& table = editor.Table();
    const int count = editor.List().GetCount();
    if (count < 0 || count > kMaxContacts)
        return CStatus(StatusKind::listMismatch);

    std::string image(kFileSize, '\0');
    std::copy(std::begin(kSignature), std::end(kSignature), image.begin());
    image[kCountOffset] = static_cast<char>(static_cast<unsigned char>(count));

    const std::vector<int> listed = editor.FindAllListed();
    for (int position = 0; position < count; ++position) {
        const int index = listed[static_cast<std::size_t>(position)];
        if (index == CContactTable::kNone)
            return CStatus(StatusKind::listMismatch);
        const std::size_t record = kHeaderSize + kRecordSize * static_cast<std::size_t>(position);
        table.CopyPacked(index, std::span(image).subspan(record, kRecordSize));
    }
    return image;
}

CStatus CDeviceBookFile::SaveTo(CBookEditor& editor, const std::filesystem::path& path) {
    const CStatus status = SaveBytes(editor, path, BuildImage(editor));
    if (status)
        editor.MarkSaved();
    return status;
}

std::filesystem::path CDeviceBookFile::ChooserFolder() {
    return PlayerFolder(FindPlayerDrives()).value_or(std::filesystem::path());
}

void CDeviceBookFile::Save(CBookEditor& editor) {
    RunSaveCommand(editor, kSaveName, kFilter, &CDeviceBookFile::SaveTo,
                   &CDeviceBookFile::ChooserFolder);
}

namespace {

CResult<TelFileImage> CheckedImage(FileBytes read, const std::filesystem::path& path) {
    const std::uintmax_t size = read.size;
    if (!HasSignature(read.bytes) || !HasRecordSize(size))
        return CStatus(StatusKind::notPhoneBookFile, path,
                       "size " + std::to_string(size) + " bytes");

    TelFileImage image;
    image.size = size;
    image.bytes = read.bytes;
    image.buffer = std::move(read.buffer);
    image.recordPlaces =
        static_cast<int>((size - CDeviceBookFile::kHeaderSize) / CDeviceBookFile::kRecordSize);
    const int countByte = static_cast<unsigned char>(image.bytes[kCountOffset]);
    image.recordsToRead = std::min(countByte, image.recordPlaces);
    return image;
}

} // namespace

CResult<TelFileImage> CDeviceBookFile::ReadImage(const std::filesystem::path& path) {
    // One byte more than the largest file tells a file that is too large.
    CResult<FileBytes> read = ReadRegularFile(path, kFileSize + 1);
    if (!read)
        return read.Status();
    return CheckedImage(std::move(*read), path);
}

CResult<TelFileImage> CDeviceBookFile::ImageOf(std::string_view bytes,
                                               const std::filesystem::path& path) {
    FileBytes read;
    const std::size_t kept = std::min(bytes.size(), kFileSize + 1);
    read.buffer = std::make_unique_for_overwrite<char[]>(kept);
    std::copy_n(bytes.data(), kept, read.buffer.get());
    read.bytes = std::string_view(read.buffer.get(), kept);
    read.size = bytes.size();
    return CheckedImage(std::move(read), path);
}

void CDeviceBookFile::LoadImage(CBookEditor& editor, const TelFileImage& image) {
    const std::size_t records = static_cast<std::size_t>(std::max(image.recordsToRead, 0));
    if (image.bytes.size() < kHeaderSize + kRecordSize * records)
        return;
    editor.ReplaceRecords(std::span(image.bytes).subspan(kHeaderSize, kRecordSize * records));
    editor.MarkSaved();
}

std::string_view CDeviceBookFile::LoadMessage(const CStatus& refusal) {
    switch (refusal.Kind()) {
    case StatusKind::notPhoneBookFile:
    case StatusKind::notRegularFile:
        return messages::kNotTelFile;
    default:
        return messages::kFileGetFail;
    }
}

void CDeviceBookFile::Load(CBookEditor& editor) {
    const auto path = editor.View().ChooseFile(FileMode::open, kLoadName, kFilter, ChooserFolder());
    if (path)
        LoadFrom(editor, *path);
}

void CDeviceBookFile::LoadFrom(CBookEditor& editor, const std::filesystem::path& path) {
    const CResult<TelFileImage> image = ReadImage(path);
    if (!image) {
        editor.View().ShowMessage(LoadMessage(image.Status()), MessageIcon::error,
                                  MessageButtons::ok, image.Status().Describe());
        return;
    }
    LoadImage(editor, *image);
}

} // namespace orvalen
