#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvalen::fuzz {

enum class InterchangeFormat { vcard, csv };

// Reads bytes as a vCard or CSV file and checks what must hold whatever the bytes are: a
// refusal is a status; an accepted file gives contacts with a name, valid UTF-8 texts and a
// line inside the file, and notes within their bounds; and writing those contacts in the same format and reading them back gives
// the same texts. Returns what broke.
std::optional<std::string> CheckInterchangeRead(InterchangeFormat format, std::string_view bytes);

} // namespace orvalen::fuzz
