#include "Interchange.h"

#include <algorithm>

namespace orvalen {
namespace {

// What a value of the field is called in messages.
std::string_view ValueLabel(ContactField field) {
    switch (field) {
    case ContactField::name:
        return "name";
    case ContactField::mobile:
        return "mobile number";
    case ContactField::telephone:
        return "telephone number";
    case ContactField::email:
        return "e-mail address";
    case ContactField::qq:
        return "QQ number";
    case ContactField::fax:
        break;
    }
    return "fax number";
}

} // namespace

void PlaceFoundValues(InterchangeContact& contact, const FoundValues& found,
                      std::vector<SourceNote>& warnings) {
    for (ContactField field : kAllFields) {
        if (field == ContactField::name)
            continue;
        for (const FoundValue& item : found[FieldIndex(field)]) {
            if (contact[field].empty()) {
                contact[field] = item.value;
                continue;
            }
            // The same number under two labels (Home and Primary, say) is not lost.
            if (std::find(contact.texts.begin(), contact.texts.end(), item.value) !=
                contact.texts.end())
                continue;
            warnings.push_back({item.line, contact.card,
                                "\"" + contact[ContactField::name] +
                                    "\": " + std::string(ValueLabel(field)) + " " + item.value +
                                    " not copied: the " + std::string(FieldLabel(field)) +
                                    " field already holds " + contact[field]});
        }
    }
}

} // namespace orvalen
