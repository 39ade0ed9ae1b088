#pragma once

// What the commands need of a window: the form's edit fields, modal messages and file choosers.
// The main window implements it; tests and the command-line tool stand in for it without one.
// Every call returns only when the user has answered.

#include "ContactForm.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace orvalen {

enum class MessageIcon { warning, error };
enum class MessageButtons { ok, okCancel };
enum class MessageResult { ok, cancel };
enum class FileMode { open, save };

class IBookView {
public:
    virtual ~IBookView() = default;

    // Copies the texts of the six edit fields into form.
    virtual void ReadForm(ContactForm& form) = 0;
    // Shows the form's texts in the edit fields and count in the count display.
    virtual void WriteForm(const ContactForm& form, int count) = 0;
    // A modal message; detail, when not empty, is the informative line under it (a failed
    // file's reason and path).
    virtual MessageResult ShowMessage(std::string_view text, MessageIcon icon,
                                      MessageButtons buttons, std::string_view detail) = 0;
    MessageResult ShowMessage(std::string_view text, MessageIcon icon, MessageButtons buttons) {
        return ShowMessage(text, icon, buttons, {});
    }
    // The chosen file's full path, or nothing when the user cancelled. A save chooser asks
    // before an existing file is replaced. The filter reads "description|pattern|". A folder,
    // when not empty, is where the chooser opens (the player's root); else it opens as the
    // platform's chooser does.
    virtual std::optional<std::filesystem::path>
    ChooseFile(FileMode mode, std::string_view defaultName, std::string_view filter,
               const std::filesystem::path& folder) = 0;
    std::optional<std::filesystem::path> ChooseFile(FileMode mode, std::string_view defaultName,
                                                    std::string_view filter) {
        return ChooseFile(mode, defaultName, filter, {});
    }
};

} // namespace orvalen
