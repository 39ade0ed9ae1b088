#include "ContactTable.h"

#include <algorithm>
#include <cassert>

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

void CContactTable::RemoveAt(int index) {
    if (index < 0 || index >= m_count)
        return;
    for (int k = index; k < m_count - 1; ++k) {
        for (ContactField field : kAllFields)
            StoreText(k, field, Text(k + 1, field));
    }
    --m_count;
}

std::string_view CContactTable::Text(int index, ContactField field) const {
    auto slot = Slot(index, field);
    const auto end = std::find(slot.begin(), slot.end(), '\0');
    return {slot.data(), static_cast<std::size_t>(end - slot.begin())};
}

std::string_view CContactTable::SlotBytes(int index, ContactField field) const {
    auto slot = Slot(index, field);
    return {slot.data(), slot.size() - 1};
}

void CContactTable::SetCount(int count) {
    m_count = std::clamp(count, 0, kMaxContacts);
}

} // namespace orvalen
