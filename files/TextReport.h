#pragma once

#include "BookEditor.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orvalen {

// The plain-text report of every contact, in list order, CR LF line ends, closed by "END!".
class CTextReport {
public:
    static constexpr std::string_view kFilter = "ZUM orvalen file(*.txt)|*.txt|";
    static constexpr std::string_view kSaveName = "Tel_Save.txt";

    // The "Save As" button.
    static void SaveAs(CBookEditor& editor);

    static bool SaveTo(CBookEditor& editor, const std::filesystem::path& path);
    // The report's bytes; nothing when a listed name is missing from the table.
    static std::optional<std::string> Build(const CBookEditor& editor);
};

} // namespace orvalen
