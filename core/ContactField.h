#pragma once

// The six fields of a contact and every fact about each one, kept in one table: the label in
// messages, the byte limit, the slot width in the table, the column in our CSV and the label in
// the text report. Everything below the window reads the facts from here.

#include <array>
#include <cstddef>
#include <string_view>

namespace orvalen {

// The order is shared by the form, the window's fields, the .tel record and the report.
enum class ContactField { name, mobile, telephone, email, qq, fax };

inline constexpr std::size_t kFieldCount = 6;
inline constexpr int kMaxContacts = 200;

struct FieldFacts {
    ContactField field;
    std::string_view label;       // in messages: "mobile"
    std::size_t maxLength;        // longest text, in bytes of the code page
    std::string_view csvColumn;   // the column of our own CSV layout
    std::string_view reportLabel; // the text report's label, the player owners' spelling
};

inline constexpr std::array<FieldFacts, kFieldCount> kFieldFacts = {{
    {ContactField::name, "name", 16, "Name", "Name: "},
    {ContactField::mobile, "mobile", 16, "Mobile", "Mobile: "},
    {ContactField::telephone, "telephone", 32, "Telephone", "Telphone: "},
    {ContactField::email, "e-mail", 32, "E-mail", "E_mail: "},
    {ContactField::qq, "QQ", 16, "QQ", "QQ: "},
    {ContactField::fax, "fax", 16, "Fax", "FAX: "},
}};

inline constexpr std::array<ContactField, kFieldCount> kAllFields = {
    ContactField::name,  ContactField::mobile, ContactField::telephone,
    ContactField::email, ContactField::qq,     ContactField::fax};

constexpr std::size_t FieldIndex(ContactField field) {
    return static_cast<std::size_t>(field);
}

constexpr const FieldFacts& Facts(ContactField field) {
    return kFieldFacts[FieldIndex(field)];
}

// Longest text of a field, in bytes of the code page.
constexpr std::size_t MaxLength(ContactField field) {
    return Facts(field).maxLength;
}

// A slot holds the longest text and its terminator.
constexpr std::size_t SlotWidth(ContactField field) {
    return MaxLength(field) + 1;
}

// The human name of a field in messages.
constexpr std::string_view FieldLabel(ContactField field) {
    return Facts(field).label;
}

} // namespace orvalen
