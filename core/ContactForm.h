#pragma once

#include "ContactField.h"

#include <array>
#include <string>

namespace orvalen {

// The six texts the window's edit fields show; byte strings in the system code page.
struct ContactForm {
    std::array<std::string, kFieldCount> texts;

    std::string& operator[](ContactField field) { return texts[FieldIndex(field)]; }
    const std::string& operator[](ContactField field) const { return texts[FieldIndex(field)]; }

    void ClearTexts() {
        for (auto& text : texts)
            text.clear();
    }

    friend bool operator==(const ContactForm&, const ContactForm&) = default;
};

} // namespace orvalen
