#pragma once

#include <string_view>

namespace orvalen {

// How the name list orders and prefix-matches names "without regard to case".
//
// Names are byte strings in the system code page. The comparison folds ASCII letters and
// otherwise compares unsigned bytes, so double-byte names sort by their bytes. The second byte
// of a double-byte character is never folded: in GBK it can be an ASCII letter (0x40-0x7E) and
// folding it would equate two different characters, whereas in UTF-8 or a single-byte code page
// every ASCII byte is a character of its own. The code page therefore tells which bytes lead a
// double-byte character; it is set once at start-up, before any name is compared.
void SetDoubleByteLeadRange(unsigned char first, unsigned char last);
void ClearDoubleByteLeads();
bool IsDoubleByteLead(unsigned char byte);

// Negative, zero or positive, as a sorts before, with or after b.
int CompareNames(std::string_view a, std::string_view b);
bool StartsWithName(std::string_view text, std::string_view prefix);

} // namespace orvalen
