#pragma once

#include "BookEditor.h"
#include "HeadlessView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvalen::testing {

// An editor on an in-memory list and a headless view, as the commands run without a window.
class EditorFixture : public ::testing::Test {
protected:
    CMemoryNameList list;
    CHeadlessView view;
    CBookEditor editor{list, view};

    // Types the contact into the form and presses "Add >>".
    void Add(ContactForm form) {
        view.Type(std::move(form));
        editor.Add();
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        for (int i = 0; i < list.GetCount(); ++i)
            entries.push_back(list.GetText(i));
        return entries;
    }

    void ExpectOnlyMessage(std::string_view text, MessageIcon icon,
                           MessageButtons buttons = MessageButtons::ok) {
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_EQ(view.messages[0], (RecordedMessage{std::string(text), icon, buttons}));
    }
};

} // namespace orvalen::testing
