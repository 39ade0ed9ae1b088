#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvalen {

// A text file's bytes turned into UTF-8.
struct DecodedText {
    std::string utf8;
    std::string encoding;    // what it was read as
    bool transcoded = false; // false when the bytes were already UTF-8 and kept as they are
};

// The encoding the bytes are in: a byte order mark decides, else the named one, else strict
// UTF-8, else GB18030 (what Chinese systems write when they do not write UTF-8). A mark
// overrides even a named encoding, as it cannot be there by chance.
std::string DetectEncoding(std::string_view bytes, std::string_view named = {});

// Decodes the whole file, a byte order mark removed. Nothing when the bytes are invalid in
// the encoding or the system lacks it.
std::optional<DecodedText> DecodeText(std::string_view bytes, std::string_view named = {});

// The length of a byte order mark at the start of bytes, 0 when there is none.
std::size_t ByteOrderMarkLength(std::string_view bytes);

bool IsUtf8Name(std::string_view name);

} // namespace orvalen
