#pragma once

// Reading an input file and turning its bytes into UTF-8. Promises: a file is read only when it
// is within kMaxInputBytes (checked before it is read whole, and while reading a pipe or a
// device); a read failure is a status, never an exception; an encoding is never guessed
// silently: DecodedText says when it was.

#include "Status.h"

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace orvalen {

// Larger inputs are refused before they are read: room for a phone's export full of photos.
inline constexpr std::size_t kMaxInputBytes = 64u << 20;

// The whole file, or why not (tooLarge with the limit in bytes as detail, or the system's
// error).
CResult<std::string> ReadInputFile(const std::filesystem::path& path);
// The same for a stream already open, such as standard input; path names it in the status.
CResult<std::string> ReadInputStream(std::istream& stream, const std::filesystem::path& path);

// A text file's bytes turned into UTF-8.
struct DecodedText {
    std::string utf8;
    std::string encoding;    // what it was read as
    bool transcoded = false; // false when the bytes were already UTF-8 and kept as they are
    bool guessed = false;    // no mark, name or valid UTF-8 said it: the detector chose
};

// The encoding the bytes are in: a byte order mark decides, else the named one, else strict
// UTF-8, else what the character-set detector names. A mark overrides even a named encoding,
// as it cannot be there by chance. Empty when the detector names none the system knows.
std::string DetectEncoding(std::string_view bytes, std::string_view named = {});
// True when DetectEncoding had to ask the detector.
bool IsGuessed(std::string_view bytes, std::string_view named);

// Decodes the whole file, a byte order mark removed. Nothing when the encoding cannot be told,
// the bytes are invalid in it or the system lacks it.
std::optional<DecodedText> DecodeText(std::string_view bytes, std::string_view named = {});

// The length of a byte order mark at the start of bytes, 0 when there is none.
std::size_t ByteOrderMarkLength(std::string_view bytes);

bool IsUtf8Name(std::string_view name);

} // namespace orvalen
