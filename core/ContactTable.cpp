#include "ContactTable.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace orvalen {

namespace {

// The length of a slot's text: up to its first zero byte, or the whole slot.
std::size_t TextLength(std::span<const char> slot) {
    return static_cast<std::size_t>(std::find(slot.begin(), slot.end(), '\0') - slot.begin());
}

} // namespace

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
    constexpr std::size_t kWidth = sizeof m_name[0];
    // A stored name is shorter than its slot and holds no zero byte.
    if (text.size() >= kWidth || text.find('\0') != std::string_view::npos)
        return kNone;
    // A slot holds text exactly when its terminator sits at text's length and the bytes before
    // it match: mostly a single byte test per slot, no search for the terminator.
    for (int i = 0; i < m_count; ++i) {
        const char* slot = m_name[i];
        const bool same = slot[text.size()] == '\0' &&
                          (text.empty() || (slot[0] == text[0] &&
                                            std::memcmp(slot, text.data(), text.size()) == 0));
        if (same && occurrence-- == 0)
            return i;
    }
    return kNone;
}

void CContactTable::StoreText(int index, ContactField field, std::string_view text) {
    auto slot = Slot(index, field);
    // Longer texts never come from the window or the file reader; cut rather than overrun.
    const std::size_t length = std::min(text.size(), slot.size() - 1);
    std::copy_n(text.data(), length, slot.data());
    // Zeros to the slot's end, so that no byte of a longer text stored before reaches a file.
    std::fill(slot.begin() + static_cast<std::ptrdiff_t>(length), slot.end(), '\0');
}

void CContactTable::StoreRaw(int index, ContactField field, std::string_view bytes) {
    auto slot = Slot(index, field);
    const std::size_t length = std::min(bytes.size(), slot.size() - 1);
    std::copy_n(bytes.data(), length, slot.data());
    slot[slot.size() - 1] = '\0';
}

namespace {

// StoreRaw with the width known, so the copy is a few moves rather than a library call.
template <std::size_t Width> const char* StoreRawSlot(char (&slot)[Width], const char* bytes) {
    std::memcpy(slot, bytes, Width - 1);
    slot[Width - 1] = '\0';
    return bytes + (Width - 1);
}

} // namespace

std::string_view CContactTable::StorePacked(int index, std::string_view packed) {
    assert(index >= 0 && index < kMaxContacts && packed.size() >= kPackedSize);
    if (index < 0 || index >= kMaxContacts || packed.size() < kPackedSize)
        return {};
    const char* bytes = packed.data();
    bytes = StoreRawSlot(m_name[index], bytes);
    bytes = StoreRawSlot(m_mobile[index], bytes);
    bytes = StoreRawSlot(m_telephone[index], bytes);
    bytes = StoreRawSlot(m_email[index], bytes);
    bytes = StoreRawSlot(m_qq[index], bytes);
    StoreRawSlot(m_fax[index], bytes);
    return {m_name[index], TextLength(m_name[index])};
}

namespace {

// SlotBytes with the width known, as StoreRawSlot.
template <std::size_t Width> char* CopySlot(const char (&slot)[Width], char* bytes) {
    std::memcpy(bytes, slot, Width - 1);
    return bytes + (Width - 1);
}

} // namespace

void CContactTable::CopyPacked(int index, std::span<char> packed) const {
    assert(index >= 0 && index < kMaxContacts && packed.size() >= kPackedSize);
    if (index < 0 || index >= kMaxContacts || packed.size() < kPackedSize)
        return;
    char* bytes = packed.data();
    bytes = CopySlot(m_name[index], bytes);
    bytes = CopySlot(m_mobile[index], bytes);
    bytes = CopySlot(m_telephone[index], bytes);
    bytes = CopySlot(m_email[index], bytes);
    bytes = CopySlot(m_qq[index], bytes);
    CopySlot(m_fax[index], bytes);
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

// Moves the following slots up as they lie, so that a record loaded and not edited keeps its
// bytes, and zeroes the slot left free: nothing of the removed contact stays behind.
template <std::size_t Width>
void CloseGap(char (&slots)[kMaxContacts][Width], int index, int count) {
    std::memmove(slots[index], slots[index + 1],
                 Width * static_cast<std::size_t>(count - index - 1));
    std::memset(slots[count - 1], 0, Width);
}

} // namespace

void CContactTable::RemoveAt(int index) {
    if (index < 0 || index >= m_count)
        return;
    // Field by field, so each move runs over one array with its width fixed.
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
    return {slot.data(), TextLength(slot)};
}

std::string_view CContactTable::SlotBytes(int index, ContactField field) const {
    auto slot = Slot(index, field);
    return {slot.data(), slot.size() - 1};
}

void CContactTable::SetCount(int count) {
    m_count = std::clamp(count, 0, kMaxContacts);
}

} // namespace orvalen
