#pragma once

// Phone numbers as the player stores them: one cleaning rule for imports and for what is pasted
// into the windows' number fields, so a number is never cut into another number. Texts are UTF-8;
// sizes are counted in the code page's bytes, as the fields' limits are.

#include "CodePage.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace orvalen {

// The number with the characters that only look like ASCII made ASCII: invisible marks (bidi,
// zero width, soft hyphen) removed, no-break and ideographic spaces as blanks, Unicode dashes and
// the minus sign as '-', full-width digits and signs as their ASCII forms. Nothing else changes.
std::string NormaliseNumber(std::string_view utf8);

// A phone number without its formatting: '+', digits, '*', '#', ',' and ';' (pauses and
// waits) and letters are kept; blanks, dashes, dots and parentheses go.
std::string UnformatNumber(std::string_view number);

// True for a URI that is not a tel: URI (sip:, http:, skype:...): such a value is no number.
bool IsUriOtherThanTel(std::string_view text);

// A tel: URI as a number: the scheme and the parameters go; with an extension it stays
// "tel:NUMBER;ext=N" for FitNumber to place. Other text is returned as it is.
std::string TelUriNumber(std::string_view text);

struct FittedNumber {
    std::string utf8;              // normalised, unformatted only when needed to fit
    bool unformatted = false;      // its blanks, dashes, dots or parentheses were removed
    bool fits = false;             // at most limit bytes in the code page
    bool extensionLeftOut = false; // a tel: URI's ext= did not fit as ",N": the number kept
};

// The number as a field of limit bytes takes it: normalised, and without its formatting only
// where it does not fit otherwise. A tel: URI loses its scheme and its parameters; its
// extension (ext=N) follows as ",N", the dial pause, where that fits, else it is left out. When
// even that does not fit, fits is false and utf8 is the normalised number, for the message that
// says so. A character the code page lacks counts as one byte ('?'); converting it is the caller's
// concern.
FittedNumber FitNumber(std::string_view utf8, std::size_t limit, const CCodePage& codePage);

} // namespace orvalen
