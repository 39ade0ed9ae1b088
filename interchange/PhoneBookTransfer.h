#pragma once

#include "BookEditor.h"
#include "CodePage.h"
#include "Interchange.h"

#include <span>
#include <vector>

namespace orvalen {

struct TransferOutcome {
    std::vector<SourceNote> warnings;
    std::vector<SourceNote> errors; // when any, the phone book was left as it was
    bool Succeeded() const { return errors.empty(); }
};

// Enters contacts into the editor's phone book in their order, as the window's "Add" would
// but keeping repeated names (a .tel file may hold them). Texts are converted to the code page
// and cut at a character boundary to their fields' byte limits. Nothing enters the phone book
// when a text cannot be converted (a character the code page lacks, unless replace puts '?'
// for it) or when there are more contacts than the phone book holds.
TransferOutcome FillPhoneBook(CBookEditor& editor, std::span<const InterchangeContact> contacts,
                              const CCodePage& codePage, bool replace);

struct ExtractOutcome {
    std::vector<InterchangeContact> contacts; // in list order; card is 0, line the record
    std::vector<SourceNote> warnings;
    bool listMismatch = false; // a listed name is missing from the table
};

// The phone book's contacts in the order of the name list, their texts in UTF-8.
// The line of each contact is its record's number in the table, from 1.
ExtractOutcome ExtractPhoneBook(const CBookEditor& editor, const CCodePage& codePage);

} // namespace orvalen
