#pragma once

// The character set a statistical detector names for bytes that name none themselves (uchardet
// where the system has it). Empty when it names nothing. Requires nothing of the bytes.

#include <string>
#include <string_view>

namespace orvalen {

std::string DetectCharset(std::string_view bytes);

} // namespace orvalen
