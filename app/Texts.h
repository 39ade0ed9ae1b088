#pragma once

// The one catalogue of the texts this program adds to the written window (questions, refusals,
// the import dialog, menu items). Each text is here once, in UTF-8, with %1, %2 ... where a value
// goes, and marked for Qt's lupdate. A text that shows a count is marked QT_TRANSLATE_N_NOOP,
// with %n where the count goes, and shown through Tr(text, count): each language words it in
// its own plural forms (English "1 place left" / "2 places left", Chinese one form). The Qt
// window translates through QCoreApplication::translate in the context "Orvalen"; the Windows
// window reads the string tables written from this file at build time (resource id
// kTextIdBase + id, a counted text's further plural forms at kTextIdBase + kTextFormStep * form
// + id). The written system's own texts (labels, buttons, its messages) are not here: they are
// never translated. Requires each entry on one line as {id, QT_TRANSLATE_NOOP("Orvalen",
// "text")} (or QT_TRANSLATE_N_NOOP), ids unique and below kTextFormStep, so the table scripts
// can read it.

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// lupdate reads this macro; Qt defines it the same way, so either definition may come first.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
#ifndef QT_TRANSLATE_N_NOOP
#define QT_TRANSLATE_N_NOOP(scope, x) x
#endif

namespace orvalen {

struct CText {
    int id;             // the Windows string table's entry, less kTextIdBase
    const char* source; // the English (or the written Chinese) text, UTF-8
};

inline constexpr const char* kTextContext = "Orvalen";
inline constexpr int kTextIdBase = 20000;
inline constexpr int kTextFormStep = 1000;

// The text in the user's language: what the window's translator gives, the source without one.
// A translator is given the count of a counted text (-1 for other texts) and returns the form
// for that count with %n replaced by it. A window installs its translator once at start-up,
// before any text is shown.
using TextTranslator = std::string (*)(const CText& text, int count);
void SetTextTranslator(TextTranslator translator);
std::string Tr(const CText& text);
// The translated text with %1, %2 ... replaced by args (each once, in any order).
std::string Tr(const CText& text, std::initializer_list<std::string_view> args);
// A counted text (QT_TRANSLATE_N_NOOP) in the plural form for count, %n replaced by it, and
// %1, %2 ... by args.
std::string Tr(const CText& text, int count, std::initializer_list<std::string_view> args = {});
// pattern with every %n replaced by count.
std::string FormatCount(std::string_view pattern, int count);
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);
// A message of the libraries (core/Messages.h) in the user's language where we added it and the
// catalogue holds it; nullopt for the written ones, which are shown as they stand.
std::optional<std::string> TrAddedMessage(std::string_view message);

namespace texts {
// clang-format off
// Questions of the main window.
//: Question when the window is closed with changes not saved; OK closes, Cancel stays.
inline constexpr CText kCloseQuestion{1, QT_TRANSLATE_NOOP("Orvalen", "The phone book has changes that are not saved. Close anyway?")};
//: Question when a file is loaded or dropped on the window with changes not saved; OK loads, Cancel keeps the phone book.
inline constexpr CText kLoadQuestion{2, QT_TRANSLATE_NOOP("Orvalen", "The phone book has changes that are not saved. Load another file anyway?")};
//: Error at start-up. %1 is the name given after --encoding; the option and GBK are typed as they stand.
inline constexpr CText kUnknownEncoding{3, QT_TRANSLATE_NOOP("Orvalen", "Unknown code page \"%1\" given with --encoding; try --encoding GBK.")};
//: Error when the system's file chooser could not open. %1 is the system's error number.
inline constexpr CText kChooserFailed{4, QT_TRANSLATE_NOOP("Orvalen", "The file chooser could not be shown (error %1).")};
//: Message after a save when the file was written but the system could not confirm it is on the disk (a player on a USB port); "eject" as the desktop's command to remove a drive safely.
inline constexpr CText kWrittenNotFlushed{80, QT_TRANSLATE_NOOP("Orvalen", "The file was written but may not be on the disk yet. Save again, or eject the player safely before unplugging it.")};
//: About box, the line naming the player's code page. %1 is its name ("GBK").
inline constexpr CText kAboutCodePage{5, QT_TRANSLATE_NOOP("Orvalen", "代码页：%1")};
//: Error at start-up, in a message box and on standard error. %1 is the option given; the usage line stays as it is.
inline constexpr CText kUnknownOption{6, QT_TRANSLATE_NOOP("Orvalen", "Unknown option \"%1\". Usage: Orvalen [--encoding NAME] [FILE]")};
//: Error at start-up when two files are given. %1 is the first file, %2 the second; the usage line stays as it is.
inline constexpr CText kSecondFile{7, QT_TRANSLATE_NOOP("Orvalen", "Orvalen opens one file at a time, but \"%2\" was given after \"%1\". Usage: Orvalen [--encoding NAME] [FILE]")};

// The window's menu.
//: Item of the window's menu (right click, or the title bar's menu) that undoes the last command; & marks the mnemonic.
inline constexpr CText kUndoItem{10, QT_TRANSLATE_NOOP("Orvalen", "撤销(&U)")};
//: Item of the window's menu that does again the command last undone; & marks the mnemonic.
inline constexpr CText kRedoItem{11, QT_TRANSLATE_NOOP("Orvalen", "重做(&R)")};
//: Item of the window's menu that adds contacts from a vCard or CSV file; & marks the mnemonic.
inline constexpr CText kImportItem{12, QT_TRANSLATE_NOOP("Orvalen", "导入联系人(&I)...")};
//: Item of the window's menu that writes the contacts to a vCard or CSV file; & marks the mnemonic.
inline constexpr CText kExportItem{13, QT_TRANSLATE_NOOP("Orvalen", "导出联系人(&E)...")};

// What a field says when it refuses or cuts an input.
//: Tooltip when a field refuses or cuts input, where the player's code page has no Chinese characters of a fixed size. %1 is the field's label without its colon ("Name"), %n the field's size in bytes.
inline constexpr CText kTooLong{20, QT_TRANSLATE_N_NOOP("Orvalen", "%1: at most %n bytes")};
//: Tooltip when a number field (mobile, telephone, fax, QQ) refuses or cuts input. %1 is the field's label without its colon ("Mobile"), %n how many digits it holds.
inline constexpr CText kLimitDigits{24, QT_TRANSLATE_N_NOOP("Orvalen", "%1: at most %n digits")};
//: Tooltip when a field refuses or cuts input and the player's code page takes one byte for every character. %1 is the field's label without its colon ("Name"), %n how many letters it holds.
inline constexpr CText kLimitLetters{25, QT_TRANSLATE_N_NOOP("Orvalen", "%1: at most %n letters")};
//: Tooltip when a field refuses or cuts input. %1 is the field's label without its colon ("Name"), %n the field's size in bytes, which is also how many Latin letters it holds, %2 how many Chinese characters it holds in the player's code page (five or more).
inline constexpr CText kLimitChinese{26, QT_TRANSLATE_N_NOOP("Orvalen", "%1: at most %n bytes — %2 Chinese characters or %n letters")};
//: Tooltip when pasted text held control characters, which were left out. %1 is the field's label without its colon.
inline constexpr CText kNoControls{21, QT_TRANSLATE_NOOP("Orvalen", "%1: no control characters")};
//: Tooltip when a typed character cannot be written in the player's code page. %1 is the code page ("GBK"), %2 the character.
inline constexpr CText kNoCharacter{22, QT_TRANSLATE_NOOP("Orvalen", "%1 has no character for %2")};
//: Tooltip when a pasted number is refused whole. %1 is the field's label without its colon, %2 the number, %n the field's size in bytes.
inline constexpr CText kNumberTooLong{23, QT_TRANSLATE_N_NOOP("Orvalen", "%1: %2 does not fit in %n bytes, so nothing was pasted")};

// Contacts files.
//: Error when a vCard or CSV file cannot be read; the reason follows.
inline constexpr CText kImportError{30, QT_TRANSLATE_NOOP("Orvalen", "Cannot import contacts from this file.")};
//: File types of the import chooser: name|pattern| pairs; translate the names only, keep every | and pattern.
inline constexpr CText kImportFilter{31, QT_TRANSLATE_NOOP("Orvalen", "vCard (*.vcf)|*.vcf|CSV (*.csv)|*.csv|All files (*)|*|")};
//: File types of the export chooser: name|pattern| pairs; translate the names only, keep every | and pattern.
inline constexpr CText kExportFilter{32, QT_TRANSLATE_NOOP("Orvalen", "vCard 3.0 (*.vcf)|*.vcf|CSV (*.csv)|*.csv|")};

// The import dialog.
//: Title of the dialog that picks contacts to import from a vCard or CSV file.
inline constexpr CText kImportTitle{40, QT_TRANSLATE_NOOP("Orvalen", "导入联系人")};
//: Import dialog, label of the box that filters the contacts shown; & marks the mnemonic.
inline constexpr CText kSearchLabel{41, QT_TRANSLATE_NOOP("Orvalen", "&Search:")};
//: Import dialog, label of the box that reads the file again in another character set; & marks the mnemonic.
inline constexpr CText kEncodingLabel{42, QT_TRANSLATE_NOOP("Orvalen", "C&haracter set:")};
//: Import dialog, button that ticks every contact shown; & marks the mnemonic.
inline constexpr CText kSelectAll{43, QT_TRANSLATE_NOOP("Orvalen", "Select &all")};
//: Import dialog, button that unticks every contact shown; & marks the mnemonic.
inline constexpr CText kSelectNone{44, QT_TRANSLATE_NOOP("Orvalen", "Select &none")};
//: Import dialog, label of the choice of what to do with names already in the book; & marks the mnemonic.
inline constexpr CText kRepeatedLabel{45, QT_TRANSLATE_NOOP("Orvalen", "Names already in the &phone book:")};
//: Import dialog, the button that imports the ticked contacts; & marks the mnemonic.
inline constexpr CText kOk{46, QT_TRANSLATE_NOOP("Orvalen", "&OK")};
//: Import dialog, the button that closes it importing nothing; & marks the mnemonic.
inline constexpr CText kCancel{47, QT_TRANSLATE_NOOP("Orvalen", "&Cancel")};
//: Import dialog, the line under the list: %1 says how many contacts are ticked ("3 selected"), %2 how many places the phone book has left ("5 places left") or how many too many are ticked; both are translated on their own.
inline constexpr CText kCountLine{48, QT_TRANSLATE_NOOP("Orvalen", "%1 · %2")};
//: Import dialog, first part of the line under the list. %n is the number of contacts ticked.
inline constexpr CText kSelectedCount{49, QT_TRANSLATE_N_NOOP("Orvalen", "%n selected")};
//: Import dialog, second part of the line under the list. %n is how many more contacts the phone book can take.
inline constexpr CText kPlacesLeft{54, QT_TRANSLATE_N_NOOP("Orvalen", "%n places left")};
//: Import dialog, second part of the line under the list when more are ticked than the phone book can take. %n is how many too many.
inline constexpr CText kPlacesOver{55, QT_TRANSLATE_N_NOOP("Orvalen", "%n more than the places left")};
//: Import dialog, tooltip of a contact whose name is already in the book.
inline constexpr CText kKnownName{50, QT_TRANSLATE_NOOP("Orvalen", "This name is already in the phone book.")};
//: Import dialog, choice for contacts whose name is already in the phone book: fill in the details the file has, keep the others.
inline constexpr CText kUpdateDetails{51, QT_TRANSLATE_NOOP("Orvalen", "Update with their details")};
//: Import dialog, choice for contacts whose name is already in the phone book: leave them.
inline constexpr CText kSkipThem{52, QT_TRANSLATE_NOOP("Orvalen", "Skip them")};
//: Import dialog, choice for contacts whose name is already in the phone book: add a second contact of the same name.
inline constexpr CText kAddAsWell{53, QT_TRANSLATE_NOOP("Orvalen", "Add them as well")};
//: Import dialog, header of the column of contacts' names.
inline constexpr CText kColumnName{60, QT_TRANSLATE_NOOP("Orvalen", "Name")};
//: Import dialog, header of the column of mobile numbers.
inline constexpr CText kColumnMobile{61, QT_TRANSLATE_NOOP("Orvalen", "Mobile")};
//: Import dialog, header of the column of (landline) telephone numbers.
inline constexpr CText kColumnTelephone{62, QT_TRANSLATE_NOOP("Orvalen", "Telephone")};
//: Import dialog, header of the column of e-mail addresses.
inline constexpr CText kColumnEmail{63, QT_TRANSLATE_NOOP("Orvalen", "E-mail")};
//: Import dialog, header of the column of QQ (instant messenger) numbers; QQ is a name.
inline constexpr CText kColumnQq{64, QT_TRANSLATE_NOOP("Orvalen", "QQ")};
//: Import dialog, header of the column of fax numbers.
inline constexpr CText kColumnFax{65, QT_TRANSLATE_NOOP("Orvalen", "Fax")};
//: Import dialog, header of the column of a contact's note.
inline constexpr CText kColumnNote{66, QT_TRANSLATE_NOOP("Orvalen", "Note")};
//: Import dialog, header of a narrow column marking contacts whose name is already in the phone book; keep it short.
inline constexpr CText kColumnInBook{67, QT_TRANSLATE_NOOP("Orvalen", "In book")};
//: Import dialog, the mark in the "In book" column.
inline constexpr CText kInBookMark{68, QT_TRANSLATE_NOOP("Orvalen", "yes")};

// The import dialog's notes of what a contact lost (its tooltip, one line each).
//: Import dialog, note of a contact. %1 is a column's name ("Mobile"), %2 a value the file gave besides the one kept.
inline constexpr CText kNoteLeftOut{70, QT_TRANSLATE_NOOP("Orvalen", "%1 \"%2\" left out: the player holds one per contact")};
//: Import dialog, note of a contact. %1 is a number column's name ("Mobile"), %2 the number, %n how many digits the player holds.
inline constexpr CText kNoteTooLongDigits{71, QT_TRANSLATE_N_NOOP("Orvalen", "%1 \"%2\" left out: the player holds at most %n digits")};
//: Import dialog, note of a contact. %1 is a column's name ("E-mail"), %2 the value, %n how many letters the player holds.
inline constexpr CText kNoteTooLongLetters{72, QT_TRANSLATE_N_NOOP("Orvalen", "%1 \"%2\" left out: the player holds at most %n letters")};
//: Import dialog, note of a contact. %1 is a column's name ("E-mail"), %2 the value, %n the field's size in bytes, which is also how many Latin letters it holds, %3 how many Chinese characters (five or more).
inline constexpr CText kNoteTooLongChinese{73, QT_TRANSLATE_N_NOOP("Orvalen", "%1 \"%2\" left out: the player holds at most %n bytes — %3 Chinese characters or %n letters")};
//: Import dialog, note of a contact. %1 is a column's name ("E-mail"), %2 the value, %n the field's size in bytes.
inline constexpr CText kNoteTooLongBytes{74, QT_TRANSLATE_N_NOOP("Orvalen", "%1 \"%2\" left out: the player holds at most %n bytes")};
//: Import dialog, note of a contact whose name was too long. %1 is the name as cut, %n how many letters the player holds.
inline constexpr CText kNoteNameCutLetters{75, QT_TRANSLATE_N_NOOP("Orvalen", "Name cut to \"%1\": the player holds at most %n letters")};
//: Import dialog, note of a contact whose name was too long. %1 is the name as cut, %n the field's size in bytes, which is also how many Latin letters it holds, %2 how many Chinese characters (five or more).
inline constexpr CText kNoteNameCutChinese{76, QT_TRANSLATE_N_NOOP("Orvalen", "Name cut to \"%1\": the player holds at most %n bytes — %2 Chinese characters or %n letters")};
//: Import dialog, note of a contact whose name was too long. %1 is the name as cut, %n the field's size in bytes.
inline constexpr CText kNoteNameCutBytes{77, QT_TRANSLATE_N_NOOP("Orvalen", "Name cut to \"%1\": the player holds at most %n bytes")};
//: Import dialog, note of a contact. %1 is a column's name ("Name").
inline constexpr CText kNoteControls{78, QT_TRANSLATE_NOOP("Orvalen", "%1: control characters removed")};
//: Import dialog, note of a contact. %1 is a column's name ("Name"), %2 the player's code page ("GBK").
inline constexpr CText kNoteReplaced{79, QT_TRANSLATE_NOOP("Orvalen", "%1: characters %2 cannot hold became \"?\"")};
//: Import dialog, note of a contact whose number had an extension ("ext=102") that did not fit. %1 is a column's name ("Telephone"), %2 the extension.
inline constexpr CText kNoteExtension{81, QT_TRANSLATE_NOOP("Orvalen", "%1: extension \"%2\" left out; only the number fits")};
//: The import dialog of a file with more contacts than one read keeps: %1 contacts shown, %2 in the file.
inline constexpr CText kRangeFirst{69, QT_TRANSLATE_NOOP("Orvalen", "Shown: the first %1 of %2 contacts")};
//: The same for a later range: contacts %1 to %2 shown, %3 in the file.
inline constexpr CText kRangeLater{82, QT_TRANSLATE_NOOP("Orvalen", "Shown: contacts %1 to %2 of %3")};
//: Import dialog, a button that reads the next %1 contacts of the file in place of those shown; & marks the mnemonic.
inline constexpr CText kReadNext{83, QT_TRANSLATE_NOOP("Orvalen", "Read the ne&xt %1")};
//: After the last range, the button reads the first %1 contacts again; & marks the mnemonic.
inline constexpr CText kReadFirst{84, QT_TRANSLATE_NOOP("Orvalen", "Back to the &first %1")};

// While a contacts file is read.
//: Above the progress bar; %1 is the file's name.
inline constexpr CText kReading{85, QT_TRANSLATE_NOOP("Orvalen", "Reading contacts from %1 ...")};
// clang-format on
} // namespace texts

} // namespace orvalen
