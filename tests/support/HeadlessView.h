#pragma once

#include "BookView.h"

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvalen::testing {

struct RecordedMessage {
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
    friend bool operator==(const RecordedMessage&, const RecordedMessage&) = default;
};

struct RecordedChooser {
    FileMode mode;
    std::string defaultName;
    std::string filter;
    std::filesystem::path folder;
};

// A window without a window: ReadForm finds what the test typed, messages are recorded and
// answered from a script (OK when the script runs dry), file choosers answer from a script
// (cancelled when it runs dry).
class CHeadlessView final : public IBookView {
public:
    ContactForm typed;   // what the edit fields hold
    ContactForm shown;   // what the last WriteForm put there
    int shownCount = -1; // the count display, -1 before any WriteForm
    int writeFormCalls = 0;
    std::vector<RecordedMessage> messages;
    std::vector<std::string> details; // each message's informative line, empty where none
    std::deque<MessageResult> answers;
    std::vector<RecordedChooser> choosers;
    std::deque<std::optional<std::filesystem::path>> chosenFiles;

    void Type(ContactForm form) { typed = std::move(form); }

    void ReadForm(ContactForm& form) override { form = typed; }

    void WriteForm(const ContactForm& form, int count) override {
        shown = form;
        typed = form;
        shownCount = count;
        ++writeFormCalls;
    }

    using IBookView::ShowMessage;
    MessageResult ShowMessage(std::string_view text, MessageIcon icon, MessageButtons buttons,
                              std::string_view detail) override {
        messages.push_back({std::string(text), icon, buttons});
        details.emplace_back(detail);
        if (answers.empty())
            return MessageResult::ok;
        const MessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }

    using IBookView::ChooseFile;
    std::optional<std::filesystem::path> ChooseFile(FileMode mode, std::string_view defaultName,
                                                    std::string_view filter,
                                                    const std::filesystem::path& folder) override {
        choosers.push_back({mode, std::string(defaultName), std::string(filter), folder});
        if (chosenFiles.empty())
            return std::nullopt;
        auto path = chosenFiles.front();
        chosenFiles.pop_front();
        return path;
    }
};

inline ContactForm MakeForm(std::string name, std::string mobile = {}, std::string telephone = {},
                            std::string email = {}, std::string qq = {}, std::string fax = {}) {
    ContactForm form;
    form.texts = {std::move(name),  std::move(mobile), std::move(telephone),
                  std::move(email), std::move(qq),     std::move(fax)};
    return form;
}

} // namespace orvalen::testing
