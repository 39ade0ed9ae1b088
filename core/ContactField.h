#pragma once

#include <array>
#include <cstddef>

namespace orvalen {

// The order is shared by the form, the window's fields, the .tel record and the report.
enum class ContactField { name, mobile, telephone, email, qq, fax };

inline constexpr std::size_t kFieldCount = 6;
inline constexpr int kMaxContacts = 200;

inline constexpr std::array<ContactField, kFieldCount> kAllFields = {
    ContactField::name,  ContactField::mobile, ContactField::telephone,
    ContactField::email, ContactField::qq,     ContactField::fax};

// Longest text of a field, in bytes of the code page.
constexpr std::size_t MaxLength(ContactField field) {
    switch (field) {
    case ContactField::telephone:
    case ContactField::email:
        return 32;
    default:
        return 16;
    }
}

constexpr std::size_t FieldIndex(ContactField field) {
    return static_cast<std::size_t>(field);
}

} // namespace orvalen
