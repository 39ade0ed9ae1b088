#pragma once

#include "BookEditor.h"
#include "ContactForm.h"
#include "HeadlessView.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvalen::bench {

// count distinct contacts, every field filled, in a scrambled order of mixed-case names, so that
// "Add >>" inserts all over the list. The same contacts on every run.
inline std::vector<ContactForm> SampleContacts(int count) {
    static const char* const kGiven[] = {"Li",    "wang", "Zhang", "liu",  "Chen", "yang",
                                         "Huang", "zhao", "Wu",    "zhou", "Xu",   "sun"};
    static const char* const kFamily[] = {"Wei", "fang", "Na",  "xiu", "Min", "jing", "Qiang",
                                          "lei", "Jun",  "yan", "Jie", "tao", "Ming", "chao"};
    std::vector<ContactForm> contacts;
    std::uint32_t state = 2463534242u;
    for (int i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        std::string name = kGiven[state % 12];
        name += ' ';
        name += kFamily[(state >> 8) % 14];
        name += ' ';
        name += std::to_string(i);
        std::string digits = std::to_string(13800000000ull + state % 100000000u);
        contacts.push_back(testing::MakeForm(name, digits, "010-" + digits.substr(3, 8) + " ext 42",
                                             "user" + std::to_string(i) + ".name@example-mail.com",
                                             std::to_string(state % 999999999u),
                                             "021-" + digits.substr(4, 8)));
    }
    return contacts;
}

// Types and adds each contact, as a user would.
inline void AddAll(CBookEditor& editor, testing::CHeadlessView& view,
                   const std::vector<ContactForm>& contacts) {
    for (const ContactForm& contact : contacts) {
        view.Type(contact);
        editor.Add();
    }
}

} // namespace orvalen::bench
