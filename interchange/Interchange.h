#pragma once

#include "ContactField.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace orvalen {

// A contact as an address book or phone exports it, its texts in UTF-8 and in the order of
// ContactField.
struct InterchangeContact {
    std::array<std::string, kFieldCount> texts;
    int line = 0; // the input line the contact starts on
    int card = 0; // the vCard's number in its file, 0 for a CSV row

    std::string& operator[](ContactField field) { return texts[FieldIndex(field)]; }
    const std::string& operator[](ContactField field) const { return texts[FieldIndex(field)]; }
};

// Something the user should know about the input, tied to where it was found.
struct SourceNote {
    int line = 0;
    int card = 0;
    std::string text;

    friend bool operator==(const SourceNote&, const SourceNote&) = default;
};

// What a reader made of a whole file: the contacts in file order, or the reason for refusing.
struct InterchangeRead {
    std::vector<InterchangeContact> contacts;
    std::vector<SourceNote> warnings;
    std::optional<std::string> error; // the file is refused; contacts are then meaningless
    std::string encoding;             // the text encoding the file was read in

    bool IsRefused() const { return error.has_value(); }
};

// A phone number, address or QQ number found in the input, before it has a field.
struct FoundValue {
    std::string value;
    int line = 0;
};
using FoundValues = std::array<std::vector<FoundValue>, kFieldCount>;

// Gives each field of contact the first value found for it. The others are reported in
// warnings, as the phone book has no room for them, unless the same text already has a field.
void PlaceFoundValues(InterchangeContact& contact, const FoundValues& found,
                      std::vector<SourceNote>& warnings);

} // namespace orvalen
