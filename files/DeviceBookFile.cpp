#include "DeviceBookFile.h"

#include "Messages.h"
#include "SaveCommand.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace orvalen {
namespace {

constexpr unsigned char kSignature[] = {0x55, 0xAA, 0x68, 0x68};
constexpr std::size_t kCountOffset = 4;
constexpr std::size_t kMinFileSize = CDeviceBookFile::kHeaderSize + CDeviceBookFile::kRecordSize;

// A record is the six fields packed at their maximum lengths, so the table stores and gives it
// whole.
static_assert(CContactTable::kPackedSize == CDeviceBookFile::kRecordSize);

// Reads the file at path into buffer, up to capacity bytes; the number read, or nothing when
// the file cannot be opened or read. Through the system's calls where there are, without a
// stdio stream to set up, lock and free for one read.
std::optional<std::size_t> ReadUpTo(const std::filesystem::path& path, char* buffer,
                                    std::size_t capacity) {
    std::size_t total = 0;
#if defined(_WIN32)
    std::FILE* opened = _wfopen(path.c_str(), L"rb");
    if (opened == nullptr)
        return std::nullopt;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(opened, &std::fclose);
    total = std::fread(buffer, 1, capacity, file.get());
    if (std::ferror(file.get()))
        return std::nullopt;
#else
    struct CDescriptor {
        int fd;
        ~CDescriptor() {
            if (fd >= 0)
                ::close(fd);
        }
    } file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        return std::nullopt;
    while (total < capacity) {
        const ssize_t got = ::read(file.fd, buffer + total, capacity - total);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        total += static_cast<std::size_t>(got);
    }
#endif
    return total;
}

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
    if (!SaveBytes(editor, path, BuildImage(editor)))
        return false;
    editor.MarkSaved();
    return true;
}

void CDeviceBookFile::Save(CBookEditor& editor) {
    RunSaveCommand(editor, kSaveName, kFilter, &CDeviceBookFile::SaveTo);
}

TelFileImage CDeviceBookFile::ReadImage(const std::filesystem::path& path) {
    // One read of one byte more than the largest file: what it returns is the size, so no size
    // query, seek or second copy is needed. A folder fails the read.
    decltype(TelFileImage::bytes) bytes(kFileSize + 1);
    const auto read = ReadUpTo(path, bytes.data(), bytes.size());
    if (!read)
        return Refused(messages::kFileGetFail);
    std::uintmax_t size = *read;
    if (*read > kFileSize) {
        std::error_code error;
        const auto whole = std::filesystem::file_size(path, error);
        size = error ? *read : whole;
    }

    for (std::size_t i = 0; i < std::size(kSignature); ++i) {
        // A file too short to hold the signature and count cannot match it.
        if (*read <= kCountOffset || static_cast<unsigned char>(bytes[i]) != kSignature[i])
            return Refused(messages::kNotTelFile, size);
    }
    if (size % kRecordSize != 0 || size < kMinFileSize || size > kFileSize)
        return Refused(messages::kNotTelFile, size);

    TelFileImage image;
    image.size = size;
    bytes.resize(*read);
    image.bytes = std::move(bytes);
    image.recordPlaces = static_cast<int>((size - kHeaderSize) / kRecordSize);
    const int countByte = static_cast<unsigned char>(image.bytes[kCountOffset]);
    image.recordsToRead = std::min(countByte, image.recordPlaces);
    return image;
}

void CDeviceBookFile::LoadImage(CBookEditor& editor, const TelFileImage& image) {
    if (!image.IsLoadable())
        return;
    // Clear records the undo step: the whole load goes back in one.
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
    editor.MarkSaved();
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
