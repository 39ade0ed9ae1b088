#pragma once

// The plain-text report of every contact, in list order, CR LF line ends, closed by "END!",
// saved through a safe replace.

#include "BookEditor.h"
#include "Status.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace orvalen {

class CTextReport {
public:
    static constexpr std::string_view kFilter = "ZUM orvalen file(*.txt)|*.txt|";
    static constexpr std::string_view kSaveName = "Tel_Save.txt";

    // The "Save As" button.
    static void SaveAs(CBookEditor& editor);

    // Reports a failure through the editor's view as well as returning it.
    static CStatus SaveTo(CBookEditor& editor, const std::filesystem::path& path);
    // The report's bytes; listMismatch when a listed name is missing from the table.
    static CResult<std::string> Build(const CBookEditor& editor);
};

} // namespace orvalen
