#include "ContactTable.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace orvalen {

std::span<char> CContactTable::Slot(int index, ContactField field) {
    assert(index >= 0 && index < kMaxContacts);
    switch (field) {
    case ContactField::name:
        return m_name[index];
    case ContactField::mobile:
        return m_mobile[index];
    case ContactField::telephone:
        return m_telephone[index];
    case ContactField::email:
        return m_email[index];
    case ContactField::qq:
        return m_qq[index];
    case ContactField::fax:
        break;
    }
    return m_fax[index];
}

std::span<const char> CContactTable::Slot(int index, ContactField field) const {
    return const_cast<CContactTable*>(this)->Slot(index, field);
}

int CContactTable::Find(std::string_view text, int occurrence) const {
    for (int i = 0; i < m_count; ++i) {
        if (Text(i, ContactField::name) == text && occurrence-- == 0)
            return i;
    }
    return kNone;
}

void CContactTable::StoreText(int index, ContactField field, std::string_view text) {
    auto slot = Slot(index, field);
    // Longer texts never come from the window or the file reader; cut rather than overrun.
    const std::size_t length = std::min(text.size(), slot.size() - 1);
    std::copy_n(text.data(), length, slot.data());
    slot[length] = '\0';
}

void CContactTable::StoreRaw(int index, ContactField field, std::string_view bytes) {
    auto slot = Slot(index, field);
    const std::size_t length = std::min(bytes.size(), slot.size() - 1);
    std::copy_n(bytes.data(), length, slot.data());
    slot[slot.size() - 1] = '\0';
}

void CContactTable::Append(const ContactForm& form) {
    assert(m_count < kMaxContacts);
    if (m_count >= kMaxContacts)
        return;
    for (ContactField field : kAllFields)
        StoreText(m_count, field, form[field]);
    ++m_count;
}

void CContactTable::UpdateDetails(int index, const ContactForm& form) {
    for (ContactField field : kAllFields) {
        if (field != ContactField::name)
            StoreText(index, field, form[field]);
    }
}

namespace {

// StoreText(to, Text(from)) for one slot: the text and its terminator, the bytes after it left
// as they were. Every slot ends in a zero byte (stores never write the last byte but with a
// terminator), so the copy stays inside the slot.
template <std::size_t Width> void MoveText(char (&to)[Width], const char (&from)[Width]) {
    assert(from[Width - 1] == '\0');
    std::strcpy(to, from);
}

template <std::size_t Width>
void CloseGap(char (&slots)[kMaxContacts][Width], int index, int count) {
    for (int k = index; k + 1 < count; ++k)
        MoveText(slots[k], slots[k + 1]);
}

} // namespace

void CContactTable::RemoveAt(int index) {
    if (index < 0 || index >= m_count)
        return;
    // Field by field, so each loop runs over one array with its width fixed.
    CloseGap(m_name, index, m_count);
    CloseGap(m_mobile, index, m_count);
    CloseGap(m_telephone, index, m_count);
    CloseGap(m_email, index, m_count);
    CloseGap(m_qq, index, m_count);
    CloseGap(m_fax, index, m_count);
    --m_count;
}

std::string_view CContactTable::Text(int index, ContactField field) const {
    auto slot = Slot(index, field);
    // memchr, not a byte loop: every name search reads texts this way.
    const void* end = std::memchr(slot.data(), '\0', slot.size());
    const std::size_t length =
        end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - slot.data())
                       : slot.size();
    return {slot.data(), length};
}

std::string_view CContactTable::SlotBytes(int index, ContactField field) const {
    auto slot = Slot(index, field);
    return {slot.data(), slot.size() - 1};
}

void CContactTable::SetCount(int count) {
    m_count = std::clamp(count, 0, kMaxContacts);
}

} // namespace orvalen
