#pragma once

// The step between read contacts and the player's phone book, both ways. Promises: the phone
// book changes only when every contact can enter it; numbers, e-mails and QQ numbers are never
// cut into other values (a number too long for its field loses its formatting, and is left out
// when it still does not fit); names are cut at a character boundary; every loss is a note.

#include "BookEditor.h"
#include "CodePage.h"
#include "Interchange.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvalen {

struct TransferOutcome {
    CNotes notes;
    // encoding (the code page's name as detail; the characters are unencodable notes) or
    // tooLarge (the number of contacts as detail). The phone book is then as it was.
    CStatus status;
    bool Succeeded() const { return status.IsOk(); }
};

// Enters contacts into the editor's phone book in their order, as the window's "Add" would
// but keeping repeated names (a .tel file may hold them). Texts are converted to the code page;
// control characters are removed and line breaks become blanks. Each field takes the first of
// its values that fits, a number unformatted (blanks, dashes, dots and parentheses removed)
// when only so it fits; the rest are left out. Nothing enters the phone book when a chosen text
// cannot be converted (a character the code page lacks, unless replace puts '?' for it) or when
// there are more contacts than the phone book holds.
TransferOutcome FillPhoneBook(CBookEditor& editor, std::span<const InterchangeContact> contacts,
                              const CCodePage& codePage, bool replace);

// One contact as FillPhoneBook would enter it, its losses added to notes; nothing when a text
// cannot be converted. The name comes out empty when the contact has none: such a contact is
// not entered.
std::optional<ContactForm> FitContact(const InterchangeContact& contact, const CCodePage& codePage,
                                      bool replace, CNotes& notes);

struct ExtractOutcome {
    std::vector<InterchangeContact> contacts; // in list order; card is 0, line the record
    CNotes notes;
    CStatus status; // listMismatch: a listed name is missing from the table
};

// The phone book's contacts in the order of the name list, their texts in UTF-8.
// The line of each contact is its record's number in the table, from 1.
ExtractOutcome ExtractPhoneBook(const CBookEditor& editor, const CCodePage& codePage);

} // namespace orvalen
