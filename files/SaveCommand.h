#pragma once

#include "BookEditor.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orvalen {

// Writes bytes safely to path; nothing to write or a failed write shows the save error.
bool SaveBytes(CBookEditor& editor, const std::filesystem::path& path,
               const std::optional<std::string>& bytes);

// What "Save" and "Save As" share: an empty phone book warns before any chooser is shown,
// a cancelled chooser stops silently, and the chosen path goes to saveTo.
void RunSaveCommand(CBookEditor& editor, std::string_view defaultName, std::string_view filter,
                    bool (*saveTo)(CBookEditor&, const std::filesystem::path&));

} // namespace orvalen
