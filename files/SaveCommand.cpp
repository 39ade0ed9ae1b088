#include "SaveCommand.h"

#include "Messages.h"
#include "SafeFile.h"

namespace orvalen {

CStatus SaveBytes(CBookEditor& editor, const std::filesystem::path& path,
                  const CResult<std::string>& bytes) {
    CStatus status = bytes ? WriteFileSafely(path, *bytes) : bytes.Status();
    if (!status) {
        if (status.Path().empty())
            status.WithPath(path);
        const bool written = status.Kind() == StatusKind::writtenNotFlushed;
        editor.View().ShowMessage(written ? messages::kWrittenNotFlushed : messages::kSaveFailed,
                                  written ? MessageIcon::warning : MessageIcon::error,
                                  MessageButtons::ok, status.Describe());
    }
    return status;
}

void RunSaveCommand(CBookEditor& editor, std::string_view defaultName, std::string_view filter,
                    CStatus (*saveTo)(CBookEditor&, const std::filesystem::path&),
                    std::filesystem::path (*folder)()) {
    if (editor.Table().Count() == 0) {
        editor.View().ShowMessage(messages::kAddFirst, MessageIcon::warning, MessageButtons::ok);
        return;
    }
    const auto path =
        editor.View().ChooseFile(FileMode::save, defaultName, filter,
                                 folder != nullptr ? folder() : std::filesystem::path());
    if (!path)
        return;
    saveTo(editor, *path);
}

} // namespace orvalen
