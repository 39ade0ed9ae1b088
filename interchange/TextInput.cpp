#include "TextInput.h"

#include "CodePage.h"

#include <algorithm>
#include <cctype>

namespace orvalen {
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

const ByteOrderMark* FindMark(std::string_view bytes) {
    for (const ByteOrderMark& mark : kMarks) {
        if (bytes.starts_with(mark.bytes))
            return &mark;
    }
    return nullptr;
}

} // namespace

bool IsUtf8Name(std::string_view name) {
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper == "UTF-8" || upper == "UTF8";
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
    return IsValidUtf8(bytes) ? "UTF-8" : "GB18030";
}

std::optional<DecodedText> DecodeText(std::string_view bytes, std::string_view named) {
    DecodedText result;
    result.encoding = DetectEncoding(bytes, named);
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
