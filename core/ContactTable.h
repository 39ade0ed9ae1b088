#pragma once

#include "ContactField.h"
#include "ContactForm.h"

#include <span>
#include <string_view>

namespace orvalen {

// The phone book: six parallel arrays of fixed-width, zero-terminated byte slots.
// StoreText (a text from the form or an import) zero-fills its slot after the terminator, and
// RemoveAt moves the following contacts as whole slots and zeroes the slot left free: deleted
// and replaced texts leave no bytes behind. StoreRaw and StorePacked keep a loaded record's
// bytes as they lie, after its terminators too, so a file loaded and saved unchanged stays the
// same byte for byte; SlotBytes gives them to .tel files.
class CContactTable {
public:
    static constexpr int kNone = -1;

    // Index of the (occurrence+1)-th contact whose name equals text exactly, or kNone.
    int Find(std::string_view text, int occurrence = 0) const;

    void Append(const ContactForm& form);
    void UpdateDetails(int index, const ContactForm& form);
    void RemoveAt(int index);
    void Clear() { m_count = 0; }

    std::string_view Text(int index, ContactField field) const;
    // The slot's first width-1 bytes as they lie, terminator and leftovers included.
    std::string_view SlotBytes(int index, ContactField field) const;
    // Copies up to width-1 bytes verbatim and terminates the slot at its last byte.
    void StoreRaw(int index, ContactField field, std::string_view bytes);
    // The six fields back to back in field order, each at its maximum length: a .tel record.
    static constexpr std::size_t kPackedSize = [] {
        std::size_t size = 0;
        for (ContactField field : kAllFields)
            size += MaxLength(field);
        return size;
    }();
    // StoreRaw of all six fields from their packed bytes, in one call per contact. Returns the
    // stored name's Text.
    std::string_view StorePacked(int index, std::string_view packed);
    // The six fields' SlotBytes back to back into packed, which has room for kPackedSize bytes.
    void CopyPacked(int index, std::span<char> packed) const;
    void StoreText(int index, ContactField field, std::string_view text);

    void SetCount(int count);
    int Count() const { return m_count; }

private:
    std::span<char> Slot(int index, ContactField field);
    std::span<const char> Slot(int index, ContactField field) const;

    char m_name[kMaxContacts][SlotWidth(ContactField::name)] = {};
    char m_mobile[kMaxContacts][SlotWidth(ContactField::mobile)] = {};
    char m_telephone[kMaxContacts][SlotWidth(ContactField::telephone)] = {};
    char m_email[kMaxContacts][SlotWidth(ContactField::email)] = {};
    char m_qq[kMaxContacts][SlotWidth(ContactField::qq)] = {};
    char m_fax[kMaxContacts][SlotWidth(ContactField::fax)] = {};
    int m_count = 0;
};

} // namespace orvalen
