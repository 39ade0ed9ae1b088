#pragma once

// A stable identifier for a contact written to an address book: the name-based UUID (version 5,
// SHA-1) of given bytes in this program's own namespace. The same bytes always give the same
// UID, so a second export of the same phone book gives the same UIDs.

#include <string>
#include <string_view>

namespace orvalen {

// "xxxxxxxx-xxxx-5xxx-yxxx-xxxxxxxxxxxx", in lower case.
std::string NameBasedUid(std::string_view bytes);

} // namespace orvalen
