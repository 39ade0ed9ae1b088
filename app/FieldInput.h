#pragma once

// What typing and pasting may put into a contact field, for both windows: the text must fit in
// the field's bytes of the player's code page, hold no control characters and only characters
// the code page has. A window gives the field's text before and after the user's change (UTF-8,
// as shown) and shows what comes back; the rule itself knows no window.
// - Typing, and any insertion into the name or e-mail: what fits is kept, cut at the last whole
//   character, so the byte past the limit is refused.
// - A paste (an insertion of two characters or more) into mobile, telephone, fax or QQ: the
//   field's resulting text goes through FitNumber, so a number is never cut into another one;
//   what then fits is taken, otherwise the paste is refused whole, with the reason.

#include "CodePage.h"
#include "ContactField.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace orvalen {

// The written labels of the six fields ("Name:", "Mobile:", ...), and the same without the colon
// for what a refusal says.
std::string_view FormLabel(ContactField field);
std::string_view FormFieldName(ContactField field);

// A field's limit in the user's terms: a number field's in digits; in a code page of one byte
// a character, in letters; else in bytes, and how many Chinese characters they hold (none where
// the code page has no Chinese characters).
enum class LimitUnit { digits, letters, chineseAndLetters, bytes };
struct FieldLimit {
    LimitUnit unit = LimitUnit::bytes;
    std::size_t count = 0;   // digits, letters or bytes
    std::size_t chinese = 0; // chineseAndLetters: the Chinese characters
};
FieldLimit LimitOf(ContactField field, std::size_t limit, const CCodePage& codePage);
// What a field says of its limit (translated): "Name: at most 16 bytes — 8 Chinese characters
// or 16 letters", "Mobile: at most 16 digits".
std::string FieldLimitText(ContactField field, std::size_t limit, const CCodePage& codePage);

enum class InputVerdict {
    accept, // the change stands as the user made it
    amend,  // the field shows text instead, the caret after caret bytes of it
    refuse, // the field goes back to the text before the change
};

struct FieldInput {
    InputVerdict verdict = InputVerdict::accept;
    std::string text;      // amend: what the field holds (UTF-8)
    std::size_t caret = 0; // amend: the caret's place, in bytes of text
    std::string why;       // what the field says (translated), empty when nothing was cut
};

// before and after are the field's texts around one change by the user; limit is the field's
// size in bytes of codePage. A text shown with bytes the code page cannot read holds U+FFFD;
// where keeping them would outgrow the field they become '?', which is how they are stored.
FieldInput CheckFieldInput(ContactField field, std::size_t limit, std::string_view before,
                           std::string_view after, const CCodePage& codePage);

// What a field gives back as bytes of the code page: exactly the bytes it was given while its
// text is unchanged, even where the code page cannot read them (they show as U+FFFD); an edited
// text is converted, a character the code page lacks (only a replacement mark can be one)
// becoming '?', as the field cannot say more.
class CFieldBytes {
public:
    // The text (UTF-8) that shows bytes.
    const std::string& Show(std::string_view bytes, const CCodePage& codePage);
    std::string Bytes(std::string_view shown, const CCodePage& codePage) const;

private:
    std::string m_shownText;
    std::string m_shownBytes;
};

// The bytes text takes in the field: a character the code page lacks is stored as '?'.
std::size_t StoredLength(std::string_view utf8, const CCodePage& codePage);

} // namespace orvalen
