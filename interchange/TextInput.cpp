#include "TextInput.h"

#include "CodePage.h"

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

bool IsUtf8Name(std::string_view name) {
    return EqualsIgnoringCaseAscii(name, "UTF-8") || EqualsIgnoringCaseAscii(name, "UTF8");
}

std::size_t ByteOrderMarkLength(std::string_view bytes) {
    const ByteOrderMark* mark = FindMark(bytes);
    return mark != nullptr ? mark->bytes.size() : 0;
}

std::string_view ByteOrderMarkEncoding(std::string_view bytes) {
    const ByteOrderMark* mark = FindMark(bytes);
    return mark != nullptr ? mark->encoding : std::string_view();
}

namespace {

struct LabelMapping {
    std::string_view label;
    std::string_view encoding;
};

#if defined(_WIN32)
// Windows converts through its own code pages: Big5 is CP950 there, without the HKSCS
// additions (characters it lacks are left out with a note).
constexpr std::string_view kBig5 = "CP950";
#else
constexpr std::string_view kBig5 = "BIG5-HKSCS";
#endif

// The WHATWG Encoding Standard's labels for the sets contacts files are written in, each mapped
// to the superset the system converts from. Labels compare without case and outer blanks.
constexpr LabelMapping kLabels[] = {
    {"utf-8", "UTF-8"},
    {"utf8", "UTF-8"},
    {"unicode-1-1-utf-8", "UTF-8"},
    {"gb2312", "GB18030"},
    {"gbk", "GB18030"},
    {"x-gbk", "GB18030"},
    {"euc-cn", "GB18030"},
    {"cp936", "GB18030"},
    {"windows-936", "GB18030"},
    {"ms936", "GB18030"},
    {"csgb2312", "GB18030"},
    {"chinese", "GB18030"},
    {"iso-ir-58", "GB18030"},
    {"gb_2312", "GB18030"},
    {"gb_2312-80", "GB18030"},
    {"gb18030", "GB18030"},
    {"shift_jis", "CP932"},
    {"shift-jis", "CP932"},
    {"sjis", "CP932"},
    {"ms_kanji", "CP932"},
    {"windows-31j", "CP932"},
    {"csshiftjis", "CP932"},
    {"x-sjis", "CP932"},
    {"cp932", "CP932"},
    {"euc-jp", "EUC-JP"},
    {"x-euc-jp", "EUC-JP"},
    {"iso-2022-jp", "ISO-2022-JP"},
    {"big5", kBig5},
    {"big5-hkscs", kBig5},
    {"cn-big5", kBig5},
    {"csbig5", kBig5},
    {"x-x-big5", kBig5},
    {"cp950", kBig5},
    {"euc-kr", "CP949"},
    {"ks_c_5601-1987", "CP949"},
    {"windows-949", "CP949"},
    {"cp949", "CP949"},
    {"uhc", "CP949"},
    {"iso-8859-1", "CP1252"},
    {"iso8859-1", "CP1252"},
    {"latin1", "CP1252"},
    {"l1", "CP1252"},
    {"us-ascii", "CP1252"},
    {"ascii", "CP1252"},
    {"ansi_x3.4-1968", "CP1252"},
    {"windows-1252", "CP1252"},
    {"cp1252", "CP1252"},
    {"x-cp1252", "CP1252"},
    {"iso-8859-2", "ISO-8859-2"},
    {"windows-1250", "CP1250"},
    {"windows-1251", "CP1251"},
    {"iso-8859-5", "ISO-8859-5"},
    {"koi8-r", "KOI8-R"},
    {"koi8-u", "KOI8-U"},
    {"iso-8859-15", "ISO-8859-15"},
    {"windows-874", "CP874"},
    {"tis-620", "CP874"},
    {"utf-16le", "UTF-16LE"},
    {"utf-16be", "UTF-16BE"},
    {"utf-16", "UTF-16LE"},
};

} // namespace

std::string EncodingForLabel(std::string_view label) {
    while (!label.empty() && (label.front() == ' ' || label.front() == '\t'))
        label.remove_prefix(1);
    while (!label.empty() && (label.back() == ' ' || label.back() == '\t'))
        label.remove_suffix(1);
    for (const LabelMapping& mapping : kLabels) {
        if (EqualsIgnoringCaseAscii(label, mapping.label))
            return std::string(mapping.encoding);
    }
    return std::string(label);
}

} // namespace orvalen
