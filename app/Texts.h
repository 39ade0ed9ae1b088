#pragma once

// The one catalogue of the texts this program adds to the written window (questions, refusals,
// the import dialog, menu items). Each text is here once, in UTF-8, with %1, %2 ... where a value
// goes, and marked for Qt's lupdate. The Qt window translates through QCoreApplication::translate
// in the context "Orvalen"; the Windows window reads the string table that
// cmake/TextTable.cmake writes from this file at build time (resource id kTextIdBase + id).
// The written system's own texts (labels, buttons, its messages) are not here: they are never
// translated. Requires each entry on one line as {id, QT_TRANSLATE_NOOP("Orvalen", "text")},
// ids unique, so the table script can read it.

#include <initializer_list>
#include <string>
#include <string_view>

// lupdate reads this macro; Qt defines it the same way, so either definition may come first.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace orvalen {

struct CText {
    int id;             // the Windows string table's entry, less kTextIdBase
    const char* source; // the English (or the written Chinese) text, UTF-8
};

inline constexpr const char* kTextContext = "Orvalen";
inline constexpr int kTextIdBase = 20000;

// The text in the user's language: what the window's translator gives, the source without one.
// A window installs its translator once at start-up, before any text is shown.
using TextTranslator = std::string (*)(const CText& text);
void SetTextTranslator(TextTranslator translator);
std::string Tr(const CText& text);
// The translated text with %1, %2 ... replaced by args (each once, in any order).
std::string Tr(const CText& text, std::initializer_list<std::string_view> args);
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);

namespace texts {
// clang-format off
// Questions of the main window.
inline constexpr CText kCloseQuestion{1, QT_TRANSLATE_NOOP("Orvalen", "The phone book has changes that are not saved. Close anyway?")};
inline constexpr CText kLoadQuestion{2, QT_TRANSLATE_NOOP("Orvalen", "The phone book has changes that are not saved. Load another file anyway?")};
inline constexpr CText kUnknownEncoding{3, QT_TRANSLATE_NOOP("Orvalen", "Unknown code page \"%1\" given with --encoding; try --encoding GBK.")};
inline constexpr CText kChooserFailed{4, QT_TRANSLATE_NOOP("Orvalen", "The file chooser could not be shown (error %1).")};
inline constexpr CText kAboutCodePage{5, QT_TRANSLATE_NOOP("Orvalen", "代码页：%1")};

// The window's menu.
inline constexpr CText kUndoItem{10, QT_TRANSLATE_NOOP("Orvalen", "撤销(&U)")};
inline constexpr CText kRedoItem{11, QT_TRANSLATE_NOOP("Orvalen", "重做(&R)")};
inline constexpr CText kImportItem{12, QT_TRANSLATE_NOOP("Orvalen", "导入联系人(&I)...")};
inline constexpr CText kExportItem{13, QT_TRANSLATE_NOOP("Orvalen", "导出联系人(&E)...")};

// What a field says when it refuses or cuts an input.
inline constexpr CText kTooLong{20, QT_TRANSLATE_NOOP("Orvalen", "%1: %2 bytes at most")};
inline constexpr CText kNoControls{21, QT_TRANSLATE_NOOP("Orvalen", "%1: no control characters")};
inline constexpr CText kNoCharacter{22, QT_TRANSLATE_NOOP("Orvalen", "%1 has no character for %2")};
inline constexpr CText kNumberTooLong{23, QT_TRANSLATE_NOOP("Orvalen", "%1: %2 does not fit in %3 bytes, so nothing was pasted")};

// Contacts files.
inline constexpr CText kImportError{30, QT_TRANSLATE_NOOP("Orvalen", "Cannot import contacts from this file.")};
inline constexpr CText kImportFilter{31, QT_TRANSLATE_NOOP("Orvalen", "vCard (*.vcf)|*.vcf|CSV (*.csv)|*.csv|All files (*)|*|")};
inline constexpr CText kExportFilter{32, QT_TRANSLATE_NOOP("Orvalen", "vCard 3.0 (*.vcf)|*.vcf|CSV (*.csv)|*.csv|")};

// The import dialog.
inline constexpr CText kImportTitle{40, QT_TRANSLATE_NOOP("Orvalen", "导入联系人")};
inline constexpr CText kSearchLabel{41, QT_TRANSLATE_NOOP("Orvalen", "&Search:")};
inline constexpr CText kEncodingLabel{42, QT_TRANSLATE_NOOP("Orvalen", "&Character set:")};
inline constexpr CText kSelectAll{43, QT_TRANSLATE_NOOP("Orvalen", "Select &all")};
inline constexpr CText kSelectNone{44, QT_TRANSLATE_NOOP("Orvalen", "Select &none")};
inline constexpr CText kRepeatedLabel{45, QT_TRANSLATE_NOOP("Orvalen", "Names already in the phone book:")};
inline constexpr CText kOk{46, QT_TRANSLATE_NOOP("Orvalen", "OK")};
inline constexpr CText kCancel{47, QT_TRANSLATE_NOOP("Orvalen", "Cancel")};
inline constexpr CText kCountLine{48, QT_TRANSLATE_NOOP("Orvalen", "%1 selected · %2 places left")};
inline constexpr CText kCountLineOver{49, QT_TRANSLATE_NOOP("Orvalen", "%1 selected · %2 more than the places left")};
inline constexpr CText kKnownName{50, QT_TRANSLATE_NOOP("Orvalen", "This name is already in the phone book.")};
inline constexpr CText kUpdateDetails{51, QT_TRANSLATE_NOOP("Orvalen", "Update with their details")};
inline constexpr CText kSkipThem{52, QT_TRANSLATE_NOOP("Orvalen", "Skip them")};
inline constexpr CText kAddAsWell{53, QT_TRANSLATE_NOOP("Orvalen", "Add them as well")};
inline constexpr CText kColumnName{60, QT_TRANSLATE_NOOP("Orvalen", "Name")};
inline constexpr CText kColumnMobile{61, QT_TRANSLATE_NOOP("Orvalen", "Mobile")};
inline constexpr CText kColumnTelephone{62, QT_TRANSLATE_NOOP("Orvalen", "Telephone")};
inline constexpr CText kColumnEmail{63, QT_TRANSLATE_NOOP("Orvalen", "E-mail")};
inline constexpr CText kColumnQq{64, QT_TRANSLATE_NOOP("Orvalen", "QQ")};
inline constexpr CText kColumnFax{65, QT_TRANSLATE_NOOP("Orvalen", "Fax")};
inline constexpr CText kColumnNote{66, QT_TRANSLATE_NOOP("Orvalen", "Note")};
inline constexpr CText kColumnInBook{67, QT_TRANSLATE_NOOP("Orvalen", "In book")};
inline constexpr CText kInBookMark{68, QT_TRANSLATE_NOOP("Orvalen", "yes")};
//: The import dialog of a file with more contacts than one read keeps: %1 contacts shown, %2 in the file.
inline constexpr CText kRangeFirst{69, QT_TRANSLATE_NOOP("Orvalen", "Shown: the first %1 of %2 contacts")};
//: The same for a later range: contacts %1 to %2 shown, %3 in the file.
inline constexpr CText kRangeLater{70, QT_TRANSLATE_NOOP("Orvalen", "Shown: contacts %1 to %2 of %3")};
//: A button that reads the next %1 contacts of the file in place of those shown.
inline constexpr CText kReadNext{71, QT_TRANSLATE_NOOP("Orvalen", "Read the &next %1")};
//: After the last range, the button reads the first %1 contacts again.
inline constexpr CText kReadFirst{72, QT_TRANSLATE_NOOP("Orvalen", "Back to the &first %1")};

// While a contacts file is read.
//: Above the progress bar; %1 is the file's name.
inline constexpr CText kReading{80, QT_TRANSLATE_NOOP("Orvalen", "Reading contacts from %1 ...")};
// clang-format on
} // namespace texts

} // namespace orvalen
