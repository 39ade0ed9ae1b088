#include "SaveCommand.h"

#include "Messages.h"
#include "SafeFile.h"

namespace orvalen {

bool SaveBytes(CBookEditor& editor, const std::filesystem::path& path,
               const std::optional<std::string>& bytes) {
    if (!bytes || !WriteFileSafely(path, *bytes)) {
        editor.View().ShowMessage(messages::kSaveFailed, MessageIcon::error, MessageButtons::ok);
        return false;
    }
    return true;
}

void RunSaveCommand(CBookEditor& editor, std::string_view defaultName, std::string_view filter,
                    bool (*saveTo)(CBookEditor&, const std::filesystem::path&)) {
    if (editor.Table().Count() == 0) {
        editor.View().ShowMessage(messages::kAddFirst, MessageIcon::warning, MessageButtons::ok);
        return;
    }
    const auto path = editor.View().ChooseFile(FileMode::save, defaultName, filter);
    if (!path)
        return;
    saveTo(editor, *path);
}

} // namespace orvalen
