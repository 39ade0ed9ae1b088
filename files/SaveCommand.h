#pragma once

// What "Save" and "Save As" share: the empty phone book's warning before any chooser, the
// silent stop of a cancelled chooser, and the save error with its reason for every failure but
// one: a file written whose folder could not be flushed gets a warning saying so.

#include "BookEditor.h"
#include "Status.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace orvalen {

// Writes bytes safely to path; nothing to write or a failed write shows the save error with
// the failure's reason, and returns the failure.
CStatus SaveBytes(CBookEditor& editor, const std::filesystem::path& path,
                  const CResult<std::string>& bytes);

// An empty phone book warns before any chooser is shown, a cancelled chooser stops silently,
// and the chosen path goes to saveTo. folder, where given, says where the chooser opens; it is
// asked only once the chooser is to be shown.
void RunSaveCommand(CBookEditor& editor, std::string_view defaultName, std::string_view filter,
                    CStatus (*saveTo)(CBookEditor&, const std::filesystem::path&),
                    std::filesystem::path (*folder)() = nullptr);

} // namespace orvalen
