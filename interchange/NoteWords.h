#pragma once

// The English words of the notes about a contact's values, written once for the windows'
// tooltips and orvalen-tel's warnings. Texts quoted in them show control characters escaped
// ("\x1b"), so that a name cannot drive the user's terminal. Empty for kinds that are not
// about one contact's value (the front ends word those about the file).

#include "Interchange.h"

#include <string>
#include <string_view>

namespace orvalen {

// text in double quotes, its control characters written as \xNN.
std::string QuoteForMessage(std::string_view text);

// "Mobile "13900139000" left out: the player holds one mobile", and the like.
std::string DescribeLoss(const InterchangeNote& note, std::string_view codePageName);

} // namespace orvalen
