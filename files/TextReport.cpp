#include "TextReport.h"

#include "SaveCommand.h"

namespace orvalen {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

} // namespace

CResult<std::string> CTextReport::Build(const CBookEditor& editor) {
    const CContactTable& table = editor.Table();
    const int count = editor.List().GetCount();
    std::string report;
    report.reserve(64 + static_cast<std::size_t>(count) * 200);
    report += "Total Telphone Number: ";
    report += std::to_string(table.Count());
    report += kLineEnd;
    report += kLineEnd;
    const std::vector<int> listed = editor.FindAllListed();
    for (int position = 0; position < count; ++position) {
        const int index = listed[static_cast<std::size_t>(position)];
        if (index == CContactTable::kNone)
            return CStatus(StatusKind::listMismatch);
        report += "No: ";
        report += std::to_string(position + 1);
        report += kLineEnd;
        for (const FieldFacts& facts : kFieldFacts) {
            report += facts.reportLabel;
            report += table.Text(index, facts.field);
            report += kLineEnd;
        }
        report += kLineEnd;
    }
    report += "END!";
    return report;
}

CStatus CTextReport::SaveTo(CBookEditor& editor, const std::filesystem::path& path) {
    return SaveBytes(editor, path, Build(editor));
}

void CTextReport::SaveAs(CBookEditor& editor) {
    RunSaveCommand(editor, kSaveName, kFilter, &CTextReport::SaveTo);
}

} // namespace orvalen
