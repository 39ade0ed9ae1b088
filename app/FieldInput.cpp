#include "FieldInput.h"

#include "PhoneNumber.h"
#include "Texts.h"

#include <algorithm>
#include <array>
#include <string>

namespace orvalen {
namespace {

constexpr std::array<std::string_view, kFieldCount> kFormLabels = {
    "Name:", "Mobile:", "Telephone:", "E_mail:", "QQ:", "FAX:"};

constexpr std::string_view kReplacementMark = "\xEF\xBF\xBD"; // U+FFFD

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool IsNumberField(ContactField field) {
    return field == ContactField::mobile || field == ContactField::telephone ||
           field == ContactField::qq || field == ContactField::fax;
}

// The UTF-8 character at the start of text (one byte where the text is not UTF-8).
std::string_view FirstCharacter(std::string_view text) {
    const std::size_t length = Utf8CharLength(text);
    return text.substr(0, std::max<std::size_t>(length, 1));
}

// C0 and C1 controls and DEL: no phone-book text holds them, and a NUL would end it early.
bool IsControl(std::string_view character) {
    const auto first = static_cast<unsigned char>(character[0]);
    if (character.size() == 1)
        return first < 0x20 || first == 0x7F;
    return character.size() == 2 && first == 0xC2 &&
           static_cast<unsigned char>(character[1]) <= 0x9F;
}

struct Cleaned {
    std::string text;
    std::size_t characters = 0; // as inserted, controls included
    bool hadControls = false;
};

Cleaned WithoutControls(std::string_view text) {
    Cleaned cleaned;
    while (!text.empty()) {
        const std::string_view character = FirstCharacter(text);
        ++cleaned.characters;
        if (IsControl(character))
            cleaned.hadControls = true;
        else
            cleaned.text += character;
        text.remove_prefix(character.size());
    }
    return cleaned;
}

// The first character of text the code page cannot hold; empty when it holds them all.
std::string FirstUnheld(std::string_view text, const CCodePage& codePage) {
    while (!text.empty()) {
        const std::string_view character = FirstCharacter(text);
        if (!codePage.FromUtf8(character))
            return std::string(character);
        text.remove_prefix(character.size());
    }
    return {};
}

void ReplaceMarks(std::string& text) {
    std::string replaced;
    std::string_view rest = text;
    for (std::size_t at = rest.find(kReplacementMark); at != std::string_view::npos;
         at = rest.find(kReplacementMark)) {
        replaced.append(rest.substr(0, at)).push_back('?');
        rest.remove_prefix(at + kReplacementMark.size());
    }
    text = replaced.append(rest);
}

} // namespace

std::string_view FormLabel(ContactField field) {
    return kFormLabels[FieldIndex(field)];
}

std::string_view FormFieldName(ContactField field) {
    std::string_view label = FormLabel(field);
    label.remove_suffix(1); // the colon
    return label;
}

const std::string& CFieldBytes::Show(std::string_view bytes, const CCodePage& codePage) {
    m_shownBytes = std::string(bytes);
    m_shownText = codePage.ToUtf8Lossy(bytes);
    return m_shownText;
}

std::string CFieldBytes::Bytes(std::string_view shown, const CCodePage& codePage) const {
    if (shown == m_shownText)
        return m_shownBytes;
    if (auto bytes = codePage.FromUtf8(shown))
        return std::move(*bytes);
    return codePage.FromUtf8Replacing(shown).value_or(std::string());
}

std::size_t StoredLength(std::string_view utf8, const CCodePage& codePage) {
    if (const auto bytes = codePage.FromUtf8(utf8))
        return bytes->size();
    if (const auto bytes = codePage.FromUtf8Replacing(utf8))
        return bytes->size();
    return utf8.size();
}

FieldLimit LimitOf(ContactField field, std::size_t limit, const CCodePage& codePage) {
    if (IsNumberField(field))
        return {LimitUnit::digits, limit, 0};
    const auto leads = codePage.LeadBytes();
    if (!codePage.IsUtf8() && std::find(leads.begin(), leads.end(), true) == leads.end())
        return {LimitUnit::letters, limit, 0};
    // 中 (U+4E2D) stands for the Chinese characters: two bytes in GBK or Big5, three in UTF-8.
    const auto chinese = codePage.FromUtf8("\xE4\xB8\xAD");
    if (!chinese || chinese->empty())
        return {LimitUnit::bytes, limit, 0};
    return {LimitUnit::chineseAndLetters, limit, limit / chinese->size()};
}

std::string FieldLimitText(ContactField field, std::size_t limit, const CCodePage& codePage) {
    const std::string name(FormFieldName(field));
    const FieldLimit terms = LimitOf(field, limit, codePage);
    const int count = static_cast<int>(terms.count);
    switch (terms.unit) {
    case LimitUnit::digits:
        return Tr(texts::kLimitDigits, count, {name});
    case LimitUnit::letters:
        return Tr(texts::kLimitLetters, count, {name});
    case LimitUnit::chineseAndLetters:
        return Tr(texts::kLimitChinese, count, {name, std::to_string(terms.chinese)});
    case LimitUnit::bytes:
        break;
    }
    return Tr(texts::kTooLong, count, {name});
}

FieldInput CheckFieldInput(ContactField field, std::size_t limit, std::string_view before,
                           std::string_view after, const CCodePage& codePage) {
    FieldInput result;
    if (before == after)
        return result;
    const std::string name(FormFieldName(field));
    const std::string tooLong = FieldLimitText(field, limit, codePage);

    // What this change inserted: the text between the parts it kept at both ends, never
    // splitting a character.
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    while (prefix > 0 && prefix < after.size() && IsContinuation(after[prefix]))
        --prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    while (suffix > 0 && IsContinuation(after[after.size() - suffix]))
        --suffix;
    std::string head(after.substr(0, prefix));
    std::string tail(after.substr(after.size() - suffix));
    const Cleaned inserted = WithoutControls(after.substr(prefix, after.size() - prefix - suffix));

    // Replacement marks kept would each take three bytes in UTF-8 and could outgrow the field:
    // then they become '?', as they are stored, so what is shown is what is stored.
    if (StoredLength(head + tail, codePage) > limit) {
        ReplaceMarks(head);
        ReplaceMarks(tail);
        result.why = tooLong;
    }
    if (inserted.hadControls)
        result.why = Tr(texts::kNoControls, {name});

    std::string kept = inserted.text;
    const auto refuseUnheld = [&](std::string_view text) {
        const std::string unheld = FirstUnheld(text, codePage);
        if (!unheld.empty()) {
            result.verdict = InputVerdict::refuse;
            result.why = Tr(texts::kNoCharacter, {codePage.Name(), unheld});
        }
        return !unheld.empty();
    };
    if (!kept.empty()) {
        if (IsNumberField(field) && inserted.characters >= 2) {
            // A pasted number is taken whole or not at all; full-width digits and the like
            // count as the ASCII they become.
            if (refuseUnheld(NormaliseNumber(kept)))
                return result;
            const FittedNumber number = FitNumber(head + kept + tail, limit, codePage);
            if (!number.fits) {
                result.verdict = InputVerdict::refuse;
                result.why =
                    Tr(texts::kNumberTooLong, static_cast<int>(limit), {name, number.utf8});
                return result;
            }
            if (number.utf8 == head + kept + tail && result.why.empty())
                return result;
            result.verdict = InputVerdict::amend;
            result.text = number.utf8;
            result.caret =
                number.utf8 == head + kept + tail ? head.size() + kept.size() : number.utf8.size();
            return result;
        }
        if (refuseUnheld(kept))
            return result;
        const std::size_t keptBytes = StoredLength(head + tail, codePage);
        const std::size_t room = keptBytes < limit ? limit - keptBytes : 0;
        const auto fitted = codePage.FromUtf8Fitting(kept, room);
        if (fitted && !fitted->complete) {
            // Back to UTF-8: the leading whole characters that fitted.
            std::string_view rest = kept;
            std::string taken;
            std::size_t bytes = 0;
            while (!rest.empty()) {
                const std::string_view character = FirstCharacter(rest);
                bytes += StoredLength(character, codePage);
                if (bytes > fitted->bytes.size())
                    break;
                taken += character;
                rest.remove_prefix(character.size());
            }
            kept = std::move(taken);
            result.why = tooLong;
        }
    } else if (inserted.characters == 0 && result.why.empty()) {
        return result; // only a removal
    }
    if (result.why.empty())
        return result;
    if (kept.empty() && inserted.characters > 0) {
        result.verdict = InputVerdict::refuse;
        return result;
    }
    result.verdict = InputVerdict::amend;
    result.text = head + kept + tail;
    result.caret = head.size() + kept.size();
    return result;
}

} // namespace orvalen
