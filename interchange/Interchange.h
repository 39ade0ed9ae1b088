#pragma once

// The data every step of the interchange library shares: a contact as read from or written to
// a vCard or CSV file, and the notes about data that was lost or changed on the way. Notes are
// kinds and values, never sentences: each front end words them. Their volume is bounded: a
// kind keeps its count and only its first few examples, each value quoted to kQuoteLength.

#include "ContactField.h"
#include "Status.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen {

// A phone number, address or QQ number found in the input, before it has a field.
struct FoundValue {
    std::string value;
    int line = 0;
    int preference = 0; // 1 is the most preferred; 0 when the input gave none

    friend bool operator==(const FoundValue&, const FoundValue&) = default;
};
using FoundValues = std::array<std::vector<FoundValue>, kFieldCount>;

// A contact as an address book or phone exports it, its texts in UTF-8 and in the order of
// ContactField. texts holds each field's first choice; more holds the other values found for
// it, in order of preference, which the step into the phone book falls back on or reports.
struct InterchangeContact {
    std::array<std::string, kFieldCount> texts;
    FoundValues more;
    std::array<int, kFieldCount> lines{}; // the line each text was found on, 0 where unknown
    int line = 0;                         // the input line the contact starts on
    int card = 0;                         // the vCard's number in its file, 0 for a CSV row

    std::string& operator[](ContactField field) { return texts[FieldIndex(field)]; }
    const std::string& operator[](ContactField field) const { return texts[FieldIndex(field)]; }
};

// Gives each field of contact its values found, the preferred one first (the lowest
// preference, then file order); a value repeated under another label is kept once.
void PlaceFoundValues(InterchangeContact& contact, FoundValues found);

enum class NoteKind {
    valueLeftOut,     // a further value of a field the player holds one of
    valueTooLong,     // a number, e-mail or QQ number longer than its field, even unformatted
    nameCut,          // a name longer than its field, cut at a character boundary
    controlRemoved,   // control characters (NUL and the like) removed from a field
    replaced,         // characters the code page lacks became '?'
    unencodable,      // a character the code page lacks: the input is refused
    invalidBytes,     // bytes invalid in their character set, shown as U+FFFD
    unknownCharset,   // a CHARSET the system lacks; read in the file's character set
    noName,           // a card or row with no name at all: skipped
    repeatedName,     // a name given before: both kept
    missingEnd,       // a card without END:VCARD: read to the end of the file
    columnUnused,     // a column not understood that holds values looking like numbers
    extensionLeftOut, // a number's extension (tel: ext=) that does not fit: the number kept
    lineTooLong,      // a logical line over kMaxLogicalLine bytes: its value ended there
    unclosedQuote,    // a CSV quote never closed: the value ended at kMaxLogicalLine or the end
    kindCount
};
inline constexpr std::size_t kNoteKindCount = static_cast<std::size_t>(NoteKind::kindCount);

// Something the user should know about the input, tied to where it was found.
struct InterchangeNote {
    NoteKind kind = NoteKind::valueLeftOut;
    ContactField field = ContactField::name;
    int line = 0;
    int card = 0;
    std::string contact;  // the contact's name, quoted short
    std::string value;    // the value concerned, quoted short
    std::size_t size = 0; // the value's length in bytes where that matters (cuts)

    friend bool operator==(const InterchangeNote&, const InterchangeNote&) = default;
};

// At most this many bytes of a value are quoted in a note, cut at a character boundary.
inline constexpr std::size_t kQuoteLength = 40;
std::string QuoteShort(std::string_view utf8);

class CNotes {
public:
    static constexpr std::size_t kExamplesPerKind = 3;

    void Add(InterchangeNote note);
    void Merge(const CNotes& other);
    std::size_t Count(NoteKind kind) const { return m_counts[static_cast<std::size_t>(kind)]; }
    std::size_t Total() const;
    bool Empty() const { return Total() == 0; }
    // The first examples of every kind, in the order they were added.
    const std::vector<InterchangeNote>& Examples() const { return m_examples; }

private:
    std::array<std::size_t, kNoteKindCount> m_counts{};
    std::vector<InterchangeNote> m_examples;
};

// What a reader made of a whole file: the contacts in file order, or the reason for refusing
// (malformed with its line; encoding with the character set tried, empty when none could be
// told).
struct InterchangeRead {
    std::vector<InterchangeContact> contacts;
    CNotes notes;
    CStatus status;
    std::string encoding;      // the text encoding the file was read in
    bool guessed = false;      // the encoding was guessed from the bytes: the user should know
    std::size_t total = 0;     // contacts in the whole file, kept or not
    std::size_t first = 1;     // the file-order number of contacts.front()
    std::uint64_t size = 0;    // bytes read
    std::size_t peakBytes = 0; // the most the reader held at once, by its own accounting

    bool IsRefused() const { return !status.IsOk(); }
};

} // namespace orvalen
