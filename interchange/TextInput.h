#pragma once

// Reading a small input whole (a .tel from standard input), and the names of character sets.
// Promises: a stream is read only while within kMaxInputBytes; a read failure is a status,
// never an exception. Contacts files are not read here but streamed (ContactReader.h).

#include "Status.h"

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

namespace orvalen {

// Larger inputs are refused before they are read: room for a phone's export full of photos.
inline constexpr std::size_t kMaxInputBytes = 64u << 20;

// A whole stream already open, such as standard input, or why not (tooLarge with the limit in
// bytes as detail, or the system's error); path names it in the status.
CResult<std::string> ReadInputStream(std::istream& stream, const std::filesystem::path& path);

// The encoding a byte order mark at the start of bytes names, empty when there is none.
std::string_view ByteOrderMarkEncoding(std::string_view bytes);

// The system's name for a character-set label found in a file or given by the user, as the
// WHATWG Encoding Standard maps labels (gb2312 is read as GB18030, shift_jis as CP932, latin1
// as CP1252...). A label the table lacks is returned as it is.
std::string EncodingForLabel(std::string_view label);

// The length of a byte order mark at the start of bytes, 0 when there is none.
std::size_t ByteOrderMarkLength(std::string_view bytes);

bool IsUtf8Name(std::string_view name);

} // namespace orvalen
