#include "TextInput.h"

#include "CharsetDetector.h"
#include "CodePage.h"
#include "OpenFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <istream>
#include <memory>
#include <vector>

namespace orvalen {

bool IsUtf8Name(std::string_view name);

namespace {

struct ByteOrderMark {
    std::string_view bytes;
    std::string_view encoding;
};

// UTF-32LE first: its mark begins with UTF-16LE's.
constexpr ByteOrderMark kMarks[] = {
    {std::string_view("\xFF\xFE\x00\x00", 4), "UTF-32LE"},
    {std::string_view("\x00\x00\xFE\xFF", 4), "UTF-32BE"},
    {"\xEF\xBB\xBF", "UTF-8"},
    {"\xFF\xFE", "UTF-16LE"},
    {"\xFE\xFF", "UTF-16BE"},
};

bool EqualsIgnoringCaseAscii(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

const ByteOrderMark* FindMark(std::string_view bytes) {
    for (const ByteOrderMark& mark : kMarks) {
        if (bytes.starts_with(mark.bytes))
            return &mark;
    }
    return nullptr;
}

bool IsEastAsianSet(std::string_view name) {
    for (std::string_view set : {"SHIFT_JIS", "EUC-JP", "ISO-2022-JP", "EUC-KR", "ISO-2022-KR",
                                 "UHC", "BIG5", "EUC-TW", "GB18030", "ISO-2022-CN", "HZ-GB-2312"}) {
        if (EqualsIgnoringCaseAscii(name, set))
            return true;
    }
    return false;
}

// What the detector names for bytes that are not UTF-8; empty when it names nothing the system
// can convert from.
std::string GuessEncoding(std::string_view bytes) {
    // A bounded sample decides as well as the whole file and keeps large inputs fast.
    constexpr std::size_t kSample = 1u << 20;
    std::string guess = DetectCharset(bytes.substr(0, kSample));
    if (guess.empty())
        return {};
    // The detector's names for pure ASCII and for GB2312: the broader sets read them as well.
    if (guess == "ASCII")
        return "UTF-8";
    if (EqualsIgnoringCaseAscii(guess, "GB2312") || EqualsIgnoringCaseAscii(guess, "GBK"))
        return "GB18030";
    if (IsUtf8Name(guess))
        return guess;
    // A few bytes of Chinese often look like a single-byte set (KOI8-R, say) to the detector.
    // The people who use this program write GB18030 far more often: where the bytes are valid
    // GB18030 and the detector names no East Asian set, GB18030 is the better guess.
    if (!IsEastAsianSet(guess) && CCodePage("GB18030").ToUtf8(bytes))
        return "GB18030";
    return CCodePage(guess).IsAvailable() ? guess : std::string();
}

} // namespace

namespace {

template <typename ReadChunk>
CResult<std::string> ReadBounded(const std::filesystem::path& path, ReadChunk readChunk) {
    std::string bytes;
    std::vector<char> buffer(1u << 16);
    while (true) {
        errno = 0;
        const auto [read, more, failed] = readChunk(buffer.data(), buffer.size());
        if (failed)
            return CStatus::FromErrno(errno != 0 ? errno : EIO, path);
        // A link to /dev/zero never ends: the limit is checked as the bytes come.
        if (bytes.size() + read > kMaxInputBytes)
            return CStatus(StatusKind::tooLarge, path, std::to_string(kMaxInputBytes));
        bytes.append(buffer.data(), read);
        if (!more)
            return bytes;
    }
}

struct Chunk {
    std::size_t read;
    bool more;
    bool failed;
};

} // namespace

CResult<std::string> ReadInputStream(std::istream& stream, const std::filesystem::path& path) {
    return ReadBounded(path, [&](char* buffer, std::size_t size) {
        stream.read(buffer, static_cast<std::streamsize>(size));
        const auto read = static_cast<std::size_t>(stream.gcount());
        return Chunk{read, stream.good(), stream.bad()};
    });
}

CResult<std::string> ReadInputFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error)
        return CStatus::FromErrno(error.value(), path);
    if (std::filesystem::is_directory(status))
        return CStatus(StatusKind::isFolder, path);
    // A regular file's size is known before reading; a pipe or device is bounded while read.
    if (std::filesystem::is_regular_file(status)) {
        const auto size = std::filesystem::file_size(path, error);
        if (!error && size > kMaxInputBytes)
            return CStatus(StatusKind::tooLarge, path, std::to_string(kMaxInputBytes));
    }
    std::FILE* raw = OpenForReading(path);
    if (raw == nullptr)
        return CStatus::FromErrno(errno, path);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(raw, std::fclose);
    return ReadBounded(path, [&](char* buffer, std::size_t size) {
        const std::size_t read = std::fread(buffer, 1, size, file.get());
        return Chunk{read, read == size, std::ferror(file.get()) != 0};
    });
}

bool IsUtf8Name(std::string_view name) {
    return EqualsIgnoringCaseAscii(name, "UTF-8") || EqualsIgnoringCaseAscii(name, "UTF8");
}

std::size_t ByteOrderMarkLength(std::string_view bytes) {
    const ByteOrderMark* mark = FindMark(bytes);
    return mark != nullptr ? mark->bytes.size() : 0;
}

std::string DetectEncoding(std::string_view bytes, std::string_view named) {
    // A mark is unambiguous, so it overrides even a named encoding.
    if (const ByteOrderMark* mark = FindMark(bytes))
        return std::string(mark->encoding);
    if (!named.empty())
        return std::string(named);
    return IsValidUtf8(bytes) ? "UTF-8" : GuessEncoding(bytes);
}

bool IsGuessed(std::string_view bytes, std::string_view named) {
    return FindMark(bytes) == nullptr && named.empty() && !IsValidUtf8(bytes);
}

std::optional<DecodedText> DecodeText(std::string_view bytes, std::string_view named) {
    DecodedText result;
    result.encoding = DetectEncoding(bytes, named);
    result.guessed = IsGuessed(bytes, named);
    if (result.encoding.empty())
        return std::nullopt;
    bytes.remove_prefix(ByteOrderMarkLength(bytes));
    if (IsUtf8Name(result.encoding)) {
        if (!IsValidUtf8(bytes))
            return std::nullopt;
        result.utf8 = std::string(bytes);
        return result;
    }
    auto utf8 = CCodePage(result.encoding).ToUtf8(bytes);
    if (!utf8)
        return std::nullopt;
    result.utf8 = std::move(*utf8);
    result.transcoded = true;
    return result;
}

} // namespace orvalen
