#pragma once

// Between the syntax readers (vCard, CSV) and the mapper: contacts as the file gave them, their
// values still raw bytes in the file's character set, which is decided only when the whole
// file has streamed. Internal to the library.

#include "ContactReader.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen {

// A value as found: its bytes (transfer encoding undone, vCard escapes still in), the set a
// CHARSET label names for it, and its length when only its start was kept.
struct RawText {
    std::string bytes;
    std::string label;    // the CHARSET parameter as written; empty when none
    std::size_t size = 0; // the whole value's length in bytes
    int line = 0;
    int preference = 0;
    bool escaped = false; // a vCard text: escapes are undone after decoding
    char separator = 0;   // a structured value: its first non-empty component is the text
    int skip = 0;         // components passed over first (Android's row names its kind)

    bool IsCut() const { return size > bytes.size(); }
};

// Keeps bytes whole when short, else their first kLongValueKept bytes and their length.
RawText MakeRawText(std::string_view bytes, int line);

// What is done to a value once decoded.
enum class RawKind {
    text,   // taken as it is (trimmed)
    number, // a TEL: a URI other than tel: is no number
    email,  // mailto: goes
    qqUri,  // an IMPP address: its scheme goes
};

struct RawValue {
    ContactField field = ContactField::telephone;
    RawKind kind = RawKind::text;
    RawText text;
};

// A name source a contact may lack: most have one or two, so absent ones cost a pointer.
using RawName = std::unique_ptr<RawText>;

struct RawContact {
    RawName fullName;              // FN, or a CSV full-name column
    RawName structuredName;        // vCard N: family;given;middle;...
    RawName family, given, middle; // CSV name columns
    RawName organization;          // vCard ORG: first component; CSV as is
    RawName nickname;              // vCard NICKNAME (first of a list), Android's row, CSV
    std::vector<RawValue> values;
    int line = 0;
    int card = 0;
    std::size_t leftOut[kFieldCount]{}; // values past kMaxValuesPerField
    bool named = false;                 // a contact only counted: it had a name source, not kept

    bool HasNameSource() const {
        return named || fullName || structuredName || family || given || middle || organization ||
               nickname || std::any_of(values.begin(), values.end(), [](const RawValue& v) {
                   return v.field == ContactField::email;
               });
    }
    void Add(ContactField field, RawKind kind, RawText text);
    std::size_t Bytes() const;
};

// What a syntax reader hands its contacts and notes to.
class CContactSink {
public:
    virtual ~CContactSink() = default;
    virtual void Contact(RawContact contact) = 0;
    // Whether the next contact with a name is kept; when not, a reader only counts it.
    virtual bool Wanted() const = 0;
    virtual void Note(InterchangeNote note) = 0;
};

// vCard text escapes undone (\\ \, \; \: \n); other backslashes kept, as 2.1 writes them.
std::string UnescapeVCard(std::string_view text);
// A structured vCard value's components, split at unescaped separators, each unescaped.
std::vector<std::string> VCardComponents(std::string_view text, char separator);

// A vCard N value's family, given and middle names, each component's list joined by blanks.
std::array<std::string, 3> VCardNameParts(std::string_view structured);

// The syntax readers: fed the file's bytes (ASCII-compatible) in chunks of any size.
class CVCardSyntax {
public:
    explicit CVCardSyntax(CContactSink& sink);
    ~CVCardSyntax();
    void Feed(std::string_view bytes);
    // Returns the status: malformed when the file holds no card.
    CStatus Finish();
    std::size_t BufferBytes() const;

private:
    class CImpl;
    std::unique_ptr<CImpl> m_impl;
};

class CCsvSyntax {
public:
    // The header row is classified in the first of headerSets in which all its cells decode
    // and some cell names a name column (else the first in which they decode).
    CCsvSyntax(CContactSink& sink, std::vector<std::string> headerSets);
    ~CCsvSyntax();
    void Feed(std::string_view bytes);
    CStatus Finish();
    std::size_t BufferBytes() const;

private:
    class CImpl;
    std::unique_ptr<CImpl> m_impl;
};

} // namespace orvalen
