#include "OrvalenTel.h"

#include "BookEditor.h"
#include "CodePage.h"
#include "CodePageRule.h"
#include "ContactReader.h"
#include "CsvReader.h"
#include "CsvWriter.h"
#include "DeviceBookFile.h"
#include "NameCollation.h"
#include "NameList.h"
#include "NoteWords.h"
#include "PathText.h"
#include "PhoneBookTransfer.h"
#include "PlayerDrive.h"
#include "SafeFile.h"
#include "TextInput.h"
#include "TextReport.h"
#include "TextUtil.h"
#include "VCardReader.h"
#include "VCardWriter.h"

#include <cerrno>
#include <cstdio>
#include <istream>
#include <sstream>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#ifndef ORVALEN_VERSION
#define ORVALEN_VERSION "unknown"
#endif

namespace orvalen {
namespace {

constexpr std::string_view kProgram = "orvalen-tel";

constexpr std::string_view kGeneralHelp =
    R"(Usage: orvalen-tel COMMAND [OPTIONS] FILE...

Moves contacts between the phone-book file (.tel) of an MP3 player with a phone-book mode and
the vCard and CSV files of phones and address books, as Orvalen reads and writes them.

Commands:
  check FILE.tel    check the file as Orvalen's "Load" does and tell what it holds
  show FILE.tel     write the file's text report (what "Save As" writes) to standard output
  convert IN OUT    convert between .tel, .vcf, .csv (read and write) and .txt (write only)
  players           list the mounted drives that may be the player
  help [COMMAND]    show this help, or a command's

Options:
  -h, --help        show this help; after a command, that command's
  --version         show the version

Exit status: 0 on success, 1 when an input is refused or a write fails, 2 for wrong usage.
Messages and warnings go to standard error, in English in every language, as scripts and
searches for them expect.

Examples:
  orvalen-tel check Tel_Expt.tel
  orvalen-tel convert --encoding GBK phone.vcf Tel_Save.tel
  orvalen-tel convert --encoding GBK Tel_Expt.tel contacts.csv
)";

constexpr std::string_view kCheckHelp =
    R"(Usage: orvalen-tel check [--encoding NAME] FILE.tel

Checks FILE.tel exactly as Orvalen's "Load" does (the signature 55 AA 68 68, and a size that
is a multiple of 128 from 640 to 26112 bytes) and prints the file size, the number of record
places, the number of contacts that "Load" would read and the code page of the names. Names
that are not text in that code page are reported.

A refused file prints Orvalen's own message, "Error!!, Not ZUM Tel file ..." or
"File Get Fail !!", and exits with status 1.

Options:
  --encoding NAME   the code page of the names (default: the player's for the locale, as
                    in the window: GBK for zh_CN, also in a UTF-8 locale)
  -h, --help        show this help
)";

constexpr std::string_view kShowHelp =
    R"(Usage: orvalen-tel show [--encoding NAME] FILE.tel

Writes to standard output, in the terminal's character set, the report that Orvalen's
"Save As" writes after "Load" of FILE.tel: every contact, sorted by name, CR LF line ends,
closed by "END!". "convert FILE.tel OUT.txt" writes the report's exact bytes. FILE.tel may be
- for standard input. A file with no contacts has no report: "FILE holds no contacts" and
status 1.

Options:
  --encoding NAME   the code page of the names, which decides how they sort (default: the
                    player's for the locale, as in the window: GBK for zh_CN, also in a
                    UTF-8 locale)
  -h, --help        show this help
)";

constexpr std::string_view kPlayersHelp =
    R"(Usage: orvalen-tel players

Lists the mounted drives that may be the player, as Orvalen's "Save" and "Load" find them:
mounts under /media, /run/media or /mnt, or on a removable disk (on Windows, the removable
drives that hold a medium); never /boot, /efi or the EFI system partition, and never a network
mount or a FUSE mount other than FAT's, which are not even looked at. Those whose root holds
Tel_Expt.tel or Tel_Save.tel come first, then FAT, exFAT and FUSE FAT. "Load" and "Save" open
in the first that holds Tel_Expt.tel, else in the first.

One line each, fields separated by tabs: the root, the file system, the volume label and the
.tel files in the root ("-" where there is no label or no .tel file). Exit status 1 when no
drive is found.

Options:
  -h, --help        show this help
)";

constexpr std::string_view kConvertHelp =
    R"(Usage: orvalen-tel convert [OPTIONS] IN OUT

Converts the contacts of IN into OUT. The formats come from the file endings:
  .tel   the player's phone-book file (read and write)
  .txt   Orvalen's text report (write only)
  .csv   comma-separated values (read and write)
  .vcf   vCard 2.1, 3.0 and 4.0 (read), vCard 3.0 in UTF-8 (write)
- as IN is standard input, - as OUT standard output; --from and --to name the format where
no ending tells it.

.tel to .tel is "Load" then "Save" (26112 bytes, sorted by name, as the window writes it);
.tel to .txt is "Load" then "Save As". Contacts read from .csv or .vcf enter the phone book in
file order and are written sorted by name, .vcf and .csv output included. More than 200
contacts are refused, and so is an input with none; --take FIRST-LAST takes a part of a larger
input, the contacts counted in file order (from 1) before they are sorted. Every conversion passes through the
player's phone book, so its limits hold for .csv and .vcf output too. OUT is replaced only when
the whole conversion succeeds; a failed command leaves no partial output. IN and OUT may not
be the same file.

Texts that do not fit their field on the player:
  - a name is cut at a character boundary, with a warning;
  - a phone or fax number is stored without its formatting (blanks, dashes, dots and
    parentheses; +, digits, *, #, "," and ";" are kept); when it still does not fit it is
    left out, with a warning. Numbers are never cut: a cut number dials someone else;
  - an e-mail address or QQ number is left out, with a warning;
  - among several numbers of one kind (and among e-mail addresses) the preferred one takes
    the field (vCard PREF, Google's "* "), else the first; when it does not fit, the next.
Values for which a contact has no field left are counted in the warnings. A contact without a
name takes its company's name, else its nickname. Control characters are removed.

A .csv input is read by its header row: Name,Mobile,Telephone,E-mail,QQ,Fax (what this program
writes), or the columns of Google Contacts, Outlook and Thunderbird exports. A .csv output is
UTF-8 with a byte order mark, so that spreadsheet programs read Chinese names. A .vcf output
gives each card a UID that stays the same for the same contact.

A .csv or .vcf input is read once, in bounded memory, whatever its size; photos and other
values the player cannot hold are passed over unread. Its character set is decided once for
the whole file: a byte order mark, else --input-encoding, else a vCard's CHARSET parameter for
its value, else UTF-8 when the file is valid UTF-8, else the set the bytes show when every
value reads in it, else the --encoding code page when every value reads in it; otherwise the
file is refused, naming --input-encoding.

Options:
  --encoding NAME         the code page of the texts in .tel and .txt files (default: the
                          player's for the locale, as in the window: GBK for zh_CN, also in
                          a UTF-8 locale; CP1252 for English)
  --input-encoding NAME   the encoding of a .csv or .vcf input that is not UTF-8 (default: a
                          byte order mark decides, else UTF-8 when the file is valid UTF-8,
                          else the character set the bytes show, named on standard error);
                          a byte order mark overrides it; it overrides a vCard's CHARSET
                          parameters
  --from FORMAT           the format of IN: tel, csv or vcf
  --to FORMAT             the format of OUT: tel, txt, csv or vcf
  --replace               write "?" for a character that the code page cannot hold, instead
                          of refusing the input
  --take FIRST-LAST       take only contacts FIRST to LAST of a .csv or .vcf input, counted
                          in file order from 1 (at most 200), with one warning
  -h, --help              show this help

Examples:
  orvalen-tel convert --encoding GBK phone.vcf Tel_Save.tel
  orvalen-tel convert --encoding GBK Tel_Expt.tel contacts.csv
  orvalen-tel convert --encoding GBK --input-encoding GB18030 book.csv Tel_Save.tel
  orvalen-tel convert --encoding GBK --to vcf Tel_Expt.tel - | less
)";

enum class Format { tel, txt, csv, vcf, unknown };

Format FormatNamed(std::string_view name) {
    const std::string upper = ToUpper(name);
    if (upper == "TEL")
        return Format::tel;
    if (upper == "TXT")
        return Format::txt;
    if (upper == "CSV")
        return Format::csv;
    if (upper == "VCF")
        return Format::vcf;
    return Format::unknown;
}

// "-" stands for standard input or output.
bool IsStandardStream(const std::filesystem::path& path) {
    return path == "-";
}

Format FormatOf(const std::filesystem::path& path) {
    const std::string extension = ToUpper(PathToUtf8(path.extension()));
    if (extension == ".TEL")
        return Format::tel;
    if (extension == ".TXT")
        return Format::txt;
    if (extension == ".CSV")
        return Format::csv;
    if (extension == ".VCF")
        return Format::vcf;
    return Format::unknown;
}

// The window that the commands report to: every message is a line on standard error, and no
// one is there to choose a file.
class CConsoleView final : public IBookView {
public:
    explicit CConsoleView(std::ostream& err) : m_err(err) {}

    void ReadForm(ContactForm&) override {}
    void WriteForm(const ContactForm&, int) override {}
    using IBookView::ShowMessage;
    MessageResult ShowMessage(std::string_view text, MessageIcon, MessageButtons,
                              std::string_view) override {
        m_err << kProgram << ": " << text << '\n';
        return MessageResult::ok;
    }
    std::optional<std::filesystem::path> ChooseFile(FileMode, std::string_view, std::string_view,
                                                    const std::filesystem::path&) override {
        return std::nullopt;
    }

private:
    std::ostream& m_err;
};

struct Options {
    std::vector<std::string> operands;
    std::optional<std::string> encoding;
    std::optional<std::string> inputEncoding;
    std::optional<std::string> from;
    std::optional<std::string> to;
    std::optional<std::string> take;
    bool replace = false;
    bool help = false;
};

struct CommandInfo {
    std::string_view name;
    std::string_view help;
    std::size_t operands;
    bool takesEncoding;
    bool takesConversionOptions;
};

constexpr CommandInfo kCommands[] = {
    {"check", kCheckHelp, 1, true, false},
    {"show", kShowHelp, 1, true, false},
    {"convert", kConvertHelp, 2, true, true},
    {"players", kPlayersHelp, 0, false, false},
};

const CommandInfo* FindCommand(std::string_view name) {
    for (const CommandInfo& command : kCommands) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

class CTool {
public:
    CTool(std::istream& in, std::ostream& out, std::ostream& err,
          const LocaleEnvironment& environment)
        : m_in(in), m_out(out), m_err(err), m_view(err), m_environment(environment) {}

    int Run(std::span<const std::string> args) {
        if (args.empty())
            return UsageError("no command given");
        const std::string& first = args.front();
        if (first == "-h" || first == "--help") {
            m_out << kGeneralHelp;
            return kExitSuccess;
        }
        if (first == "--version") {
            m_out << kProgram << ' ' << ORVALEN_VERSION << '\n';
            return kExitSuccess;
        }
        if (first == "help") {
            if (args.size() == 1) {
                m_out << kGeneralHelp;
                return kExitSuccess;
            }
            const CommandInfo* command = FindCommand(args[1]);
            if (command == nullptr || args.size() > 2)
                return UsageError("help takes one command name: check, show, convert or players");
            m_out << command->help;
            return kExitSuccess;
        }
        const CommandInfo* command = FindCommand(first);
        if (command == nullptr)
            return UsageError("unknown command \"" + first + "\"");
        m_command = command;

        const auto options = ParseOptions(*command, args.subspan(1));
        if (!options)
            return kExitUsage;
        if (options->help) {
            m_out << command->help;
            return kExitSuccess;
        }
        if (options->operands.size() != command->operands)
            return UsageError(std::string(command->name) + " takes " +
                              (command->operands == 0   ? "no file"
                               : command->operands == 1 ? "one file"
                                                        : "two files, IN and OUT"));
        if (command->name == "players")
            return Players();
        if (!SetCodePage(*options))
            return kExitUsage;
        if (command->name == "check")
            return Check(PathFromUtf8(options->operands[0]));
        if (command->name == "show")
            return Show(PathFromUtf8(options->operands[0]));
        return Convert(*options);
    }

private:
    int UsageError(const std::string& text) {
        m_err << kProgram << ": " << text << '\n';
        if (m_command != nullptr)
            m_err << "Try '" << kProgram << ' ' << m_command->name << " --help'.\n";
        else
            m_err << "Try '" << kProgram << " --help'.\n";
        return kExitUsage;
    }

    static std::string ExampleValue(std::string_view option) {
        if (option == "--take")
            return " 1-200";
        return option == "--from" || option == "--to" ? " vcf" : " GBK";
    }

    std::optional<Options> ParseOptions(const CommandInfo& command,
                                        std::span<const std::string> args) {
        Options options;
        bool operandsOnly = false;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& arg = args[i];
            if (operandsOnly || arg == "-" || !arg.starts_with('-')) {
                options.operands.push_back(arg);
                continue;
            }
            if (arg == "--") {
                operandsOnly = true;
                continue;
            }
            if (arg == "-h" || arg == "--help") {
                options.help = true;
                continue;
            }
            if (arg == "--replace" && command.takesConversionOptions) {
                options.replace = true;
                continue;
            }
            // --encoding NAME and --encoding=NAME alike.
            const auto equals = arg.find('=');
            const std::string name = arg.substr(0, equals);
            std::optional<std::string>* target = nullptr;
            if (name == "--encoding" && command.takesEncoding)
                target = &options.encoding;
            else if (name == "--input-encoding" && command.takesConversionOptions)
                target = &options.inputEncoding;
            else if (name == "--from" && command.takesConversionOptions)
                target = &options.from;
            else if (name == "--to" && command.takesConversionOptions)
                target = &options.to;
            else if (name == "--take" && command.takesConversionOptions)
                target = &options.take;
            if (target == nullptr) {
                UsageError("unknown option \"" + arg + "\" for " + std::string(command.name));
                return std::nullopt;
            }
            if (equals != std::string::npos) {
                *target = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                *target = args[++i];
            } else {
                UsageError(name + " needs a name, e.g. " + name + ExampleValue(name));
                return std::nullopt;
            }
            if ((*target)->empty()) {
                UsageError(name + " needs a name, e.g. " + name + ExampleValue(name));
                return std::nullopt;
            }
        }
        return options;
    }

    bool SetCodePage(const Options& options) {
        m_codePage = PlayerCodePage(options.encoding, m_environment);
        if (!m_codePage.IsAvailable()) {
            UsageError("unknown encoding \"" + m_codePage.Name() + "\"");
            return false;
        }
        // Names sort as the window sorts them in this code page.
        m_collation = CNameCollation(m_codePage);
        return true;
    }

    // What messages call a file: standard input or output for "-".
    static std::string Shown(const std::filesystem::path& path, bool output = false) {
        if (IsStandardStream(path))
            return output ? "standard output" : "standard input";
        return PathToUtf8(path);
    }

    // Where the code page came from, for a message suggesting --encoding.
    std::string CodePageOrigin() const {
        const std::string_view locale = m_environment.LocaleName();
        return "the code page is " + m_codePage.Name() + ", the one of the locale " +
               (locale.empty() ? std::string("C") : std::string(locale));
    }

    // Names that are not text in the code page: the file is in another one. Said once.
    void WarnOfNamesInAnotherCodePage(const CBookEditor& editor,
                                      const std::filesystem::path& path) {
        const CContactTable& table = editor.Table();
        int invalid = 0;
        for (int i = 0; i < table.Count(); ++i) {
            if (!m_codePage.ToUtf8(table.Text(i, ContactField::name)))
                ++invalid;
        }
        if (invalid > 0)
            Message(Shown(path), "warning: " + std::to_string(invalid) + " of " +
                                     std::to_string(table.Count()) + " names are not " +
                                     m_codePage.Name() +
                                     " text; if the player writes another code page, name it with "
                                     "--encoding (GBK is the usual one)");
    }

    void Message(const std::string& subject, std::string_view text) {
        m_err << kProgram << ": " << subject << ": " << text << '\n';
    }

    // ---- notes, worded ----

    static std::string Quoted(std::string_view text) { return QuoteForMessage(text); }

    static std::string Where(const InterchangeNote& note, Format format) {
        if (note.card > 0)
            return "card " + std::to_string(note.card) + " (line " + std::to_string(note.line) +
                   "): ";
        if (note.line > 0)
            return (format == Format::tel ? "record " : "line ") + std::to_string(note.line) + ": ";
        return {};
    }

    std::string Words(const InterchangeNote& note, Format format,
                      std::string_view readEncoding) const {
        const std::string who = Quoted(note.contact);
        const std::string field(FieldLabel(note.field));
        const std::string page = m_codePage.Name();
        switch (note.kind) {
        case NoteKind::valueLeftOut:
        case NoteKind::valueTooLong:
        case NoteKind::nameCut:
        case NoteKind::controlRemoved:
        case NoteKind::replaced:
        case NoteKind::extensionLeftOut:
            return who + ": " + DescribeLoss(note, page);
        case NoteKind::unencodable:
            return who + ": the " + field + " holds " + DescribeFirstCharacter(note.value) +
                   ", which " + page + " cannot hold (--replace writes \"?\" for it)";
        case NoteKind::invalidBytes:
            if (format == Format::tel)
                return "the " + field + " " + Quoted(note.value) + " is not valid " + page +
                       "; its bad bytes became U+FFFD";
            return "bytes that are not valid in their character set in " + note.contact +
                   "; shown as U+FFFD";
        case NoteKind::unknownCharset:
            return "unknown character set " + Quoted(note.value) + "; read as " +
                   std::string(readEncoding);
        case NoteKind::noName:
            if (format == Format::tel)
                return "the contact has no name";
            return format == Format::vcf ? "no name (FN, N, ORG, NICKNAME or EMAIL); card skipped"
                                         : "no name; row skipped";
        case NoteKind::repeatedName:
            return who + " is a name given before; both are kept";
        case NoteKind::missingEnd:
            return "card " + std::to_string(note.card) +
                   " has no END:VCARD; read to the end of the file";
        case NoteKind::columnUnused:
            return "column " + Quoted(note.contact) + " is not understood; its value " +
                   Quoted(note.value) + " is not copied";
        case NoteKind::lineTooLong:
            return "a line longer than " + std::to_string(kMaxLogicalLine >> 20) +
                   " MB; its value ends there";
        case NoteKind::unclosedQuote:
            return "a quote that is never closed; its value ends at the end of the file or "
                   "after " +
                   std::to_string(kMaxLogicalLine >> 20) + " MB";
        case NoteKind::kindCount:
            break;
        }
        return {};
    }

    std::string Summary(NoteKind kind, std::size_t count) const {
        const std::string n = std::to_string(count);
        const std::string page = m_codePage.Name();
        switch (kind) {
        case NoteKind::valueLeftOut:
            return n + " numbers or addresses left out: a contact had more than one of a kind; "
                       "the player holds one";
        case NoteKind::valueTooLong:
            return n + " numbers or addresses left out: longer than their field";
        case NoteKind::nameCut:
            return n + " names cut to their field";
        case NoteKind::controlRemoved:
            return n + " fields had control characters, removed";
        case NoteKind::replaced:
            return n + " fields had characters " + page + " cannot hold, written as \"?\"";
        case NoteKind::unencodable:
            return n + " texts hold characters " + page + " cannot hold";
        case NoteKind::invalidBytes:
            return n + " values had invalid bytes, shown as U+FFFD";
        case NoteKind::unknownCharset:
            return n + " values named a character set this system lacks";
        case NoteKind::noName:
            return n + " contacts without a name";
        case NoteKind::repeatedName:
            return n + " names given more than once; all are kept";
        case NoteKind::missingEnd:
            return n + " cards without END:VCARD";
        case NoteKind::columnUnused:
            return n + " values in columns not understood, not copied";
        case NoteKind::extensionLeftOut:
            return n + " extensions left out: the number fits only without them";
        case NoteKind::lineTooLong:
            return n + " lines too long, their values cut";
        case NoteKind::unclosedQuote:
            return n + " quotes never closed";
        case NoteKind::kindCount:
            break;
        }
        return {};
    }

    // Each kind's first examples in the order of the input, then a count for each kind that
    // had more: the volume does not grow with the input.
    void PrintNotes(const std::string& source, Format format, const CNotes& notes,
                    std::string_view readEncoding = {}) {
        std::vector<InterchangeNote> examples = notes.Examples();
        std::stable_sort(
            examples.begin(), examples.end(),
            [](const InterchangeNote& a, const InterchangeNote& b) { return a.line < b.line; });
        for (const InterchangeNote& note : examples) {
            const bool error = note.kind == NoteKind::unencodable;
            m_err << kProgram << ": " << source << ": " << Where(note, format)
                  << (error ? "error: " : "warning: ") << Words(note, format, readEncoding) << '\n';
        }
        for (std::size_t k = 0; k < kNoteKindCount; ++k) {
            const auto kind = static_cast<NoteKind>(k);
            if (notes.Count(kind) > CNotes::kExamplesPerKind)
                m_err << kProgram << ": " << source << ": "
                      << (kind == NoteKind::unencodable ? "error: " : "warning: ")
                      << Summary(kind, notes.Count(kind)) << " (the first "
                      << CNotes::kExamplesPerKind << " are named above)\n";
        }
    }

    // ---- inputs ----

    void ReadFailure(const std::string& subject, const CStatus& status) {
        if (status.Kind() == StatusKind::tooLarge)
            Message(subject, "the file is larger than " + std::to_string(kMaxInputBytes >> 20) +
                                 " MB, the most orvalen-tel reads; nothing was read");
        else
            Message(subject, "cannot read: " + status.Reason());
    }

    int Check(const std::filesystem::path& path) {
        const CResult<TelFileImage> read = CDeviceBookFile::ReadImage(path);
        if (!read) {
            Message(Shown(path), CDeviceBookFile::LoadMessage(read.Status()));
            return kExitRefused;
        }
        const TelFileImage& image = *read;
        m_out << "File size: " << image.size << " bytes\n"
              << "Record places: " << image.recordPlaces << '\n'
              << "Contacts: " << image.recordsToRead << '\n'
              << "Code page: " << m_codePage.Name() << '\n';
        const int countByte = static_cast<unsigned char>(image.bytes[4]);
        if (countByte > image.recordPlaces)
            Message(Shown(path), "warning: the header counts " + std::to_string(countByte) +
                                     " contacts, but only " + std::to_string(image.recordPlaces) +
                                     " record places follow; Load reads " +
                                     std::to_string(image.recordsToRead));
        CMemoryNameList list(m_collation);
        CBookEditor editor(list, m_view);
        CDeviceBookFile::LoadImage(editor, image);
        WarnOfNamesInAnotherCodePage(editor, path);
        return kExitSuccess;
    }

    // "Load": the phone book replaced by the file's contacts. Standard input is read into
    // memory and checked there: no copy of the phone book on the disk.
    bool Load(CBookEditor& editor, const std::filesystem::path& path) {
        CResult<TelFileImage> image = CStatus(StatusKind::ioError);
        if (IsStandardStream(path)) {
            const auto bytes = ReadInputStream(m_in, path);
            if (!bytes) {
                ReadFailure(Shown(path), bytes.Status());
                return false;
            }
            image = CDeviceBookFile::ImageOf(*bytes, path);
        } else {
            image = CDeviceBookFile::ReadImage(path);
        }
        if (!image) {
            Message(Shown(path), CDeviceBookFile::LoadMessage(image.Status()));
            return false;
        }
        CDeviceBookFile::LoadImage(editor, *image);
        WarnOfNamesInAnotherCodePage(editor, path);
        return true;
    }

    int Show(const std::filesystem::path& path) {
        CMemoryNameList list(m_collation);
        CBookEditor editor(list, m_view);
        if (!Load(editor, path))
            return kExitRefused;
        if (editor.Table().Count() == 0) {
            m_err << kProgram << ": " << Shown(path) << " holds no contacts\n";
            return kExitRefused;
        }
        const auto report = CTextReport::Build(editor);
        if (!report) {
            Message(Shown(path), CStatus(StatusKind::listMismatch).Reason());
            return kExitRefused;
        }
        // For reading on the terminal, in its character set; convert ... .txt gives the bytes.
        const std::string text = InTerminalCharset(*report);
        m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
        m_out.flush();
        if (!m_out) {
            Message("standard output", "cannot write: " + CStatus::FromErrno(EIO).Reason());
            return kExitRefused;
        }
        return kExitSuccess;
    }

    std::string InTerminalCharset(const std::string& bytes) const {
        const CCodePage terminal(TerminalCharset(m_environment));
        if (terminal.Name() == m_codePage.Name() && m_codePage.ToUtf8(bytes))
            return bytes;
        const std::string utf8 = m_codePage.ToUtf8Lossy(bytes);
        if (terminal.IsUtf8() || !terminal.IsAvailable())
            return utf8;
        return terminal.FromUtf8Replacing(utf8).value_or(utf8);
    }

    // Reads a .csv or .vcf input into the phone book.
    bool Import(CBookEditor& editor, const std::filesystem::path& path, Format format,
                const Options& options, std::size_t first, std::size_t last) {
        const std::string shown = Shown(path);
        ReadOptions reading;
        reading.format = format == Format::csv ? ContactFormat::csv : ContactFormat::vcard;
        reading.inputEncoding = options.inputEncoding.value_or("");
        reading.userCodePage = m_codePage.Name();
        if (first > 0) {
            reading.first = first;
            reading.count = last - first + 1;
        } else {
            // One more than the phone book holds is enough to refuse; the total is counted.
            reading.count = static_cast<std::size_t>(kMaxContacts) + 1;
        }
        const InterchangeRead read =
            IsStandardStream(path) ? ReadContacts(m_in, reading) : ReadContacts(path, reading);
        if (read.status.Kind() != StatusKind::encoding &&
            read.status.Kind() != StatusKind::malformed && !read.status.IsOk()) {
            ReadFailure(shown, read.status);
            return false;
        }
        if (read.guessed && !read.encoding.empty())
            Message(shown, "note: the file names no character set and is not UTF-8; read as " +
                               read.encoding + " (--input-encoding names another)");
        if (read.IsRefused()) {
            PrintNotes(shown, format, read.notes, read.encoding);
            RefusedRead(shown, read);
            return false;
        }
        if (first > 0)
            Message(shown, "warning: only contacts " + std::to_string(first) + " to " +
                               std::to_string(std::min(last, read.total)) + " of " +
                               std::to_string(read.total) + " are taken (--take)");
        const TransferOutcome outcome =
            FillPhoneBook(editor, read.contacts, m_codePage, options.replace);
        CNotes notes = read.notes;
        notes.Merge(outcome.notes);
        PrintNotes(shown, format, notes, read.encoding);
        if (outcome.status.Kind() == StatusKind::encoding && !options.encoding)
            m_err << kProgram << ": " << CodePageOrigin()
                  << "; --encoding names the player's (GBK is the usual one)\n";
        if (outcome.status.Kind() == StatusKind::tooLarge)
            Message(shown,
                    "error: the input holds " + std::to_string(read.total) +
                        " contacts; the player's phone book holds at most " +
                        std::to_string(kMaxContacts) +
                        (first > 0 ? std::string() : "; --take FIRST-LAST takes some of them"));
        return outcome.Succeeded();
    }

    void RefusedRead(const std::string& shown, const InterchangeRead& read) {
        const CStatus& status = read.status;
        if (status.Kind() == StatusKind::encoding) {
            Message(shown, status.Detail().empty()
                               ? "cannot tell the character set of the file; name it with "
                                 "--input-encoding"
                               : "the file is not valid " + status.Detail() +
                                     "; name its encoding with --input-encoding");
            return;
        }
        std::string text =
            status.Line() > 0 ? "line " + std::to_string(status.Line()) + ": " : std::string();
        if (status.Detail() == CCsvReader::kNoNameColumn)
            text += "the header row names no known name column; the columns understood are: " +
                    CCsvReader::KnownColumns();
        else if (status.Detail() == CCsvReader::kNoHeader)
            text += "the file is empty; a header row is needed";
        else if (status.Detail() == "no BEGIN:VCARD")
            text += "no vCard in the file (no BEGIN:VCARD line)";
        else
            text += status.Detail();
        Message(shown, text);
    }

    // ---- outputs ----

    std::optional<std::string> BuildOutput(const CBookEditor& editor, const std::string& source,
                                           Format sourceFormat, Format format) {
        std::optional<std::string> bytes;
        if (format == Format::tel) {
            if (auto image = CDeviceBookFile::BuildImage(editor))
                bytes = std::move(*image);
        } else if (format == Format::txt) {
            if (auto report = CTextReport::Build(editor))
                bytes = std::move(*report);
        } else {
            const ExtractOutcome extracted = ExtractPhoneBook(editor, m_codePage);
            // Only a loaded .tel can hold bytes that the code page rejects: name its records.
            PrintNotes(source, sourceFormat == Format::tel ? Format::tel : sourceFormat,
                       extracted.notes);
            if (extracted.status.IsOk())
                bytes = format == Format::csv ? CCsvWriter::Write(extracted.contacts)
                                              : CVCardWriter::Write(extracted.contacts);
        }
        if (!bytes)
            Message(source, CStatus(StatusKind::listMismatch).Reason());
        return bytes;
    }

    bool WriteOutput(const std::filesystem::path& target, std::string_view bytes) {
        if (IsStandardStream(target)) {
            m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            m_out.flush();
            if (!m_out) {
                Message("standard output", "cannot write: " + CStatus::FromErrno(EIO).Reason());
                return false;
            }
            return true;
        }
        if (IsStream(target)) {
            // A terminal, /dev/stdout or a pipe: written as it comes, as "-" is.
            const CStatus status = WriteStream(target, bytes);
            if (!status)
                Message(PathToUtf8(target), "cannot write: " + status.Reason());
            return status.IsOk();
        }
        CStatus status;
        {
            // A quit signal waits until the file is in place or its temporary file is gone.
            const CQuitSignalsHeld held;
            status = WriteFileSafely(target, bytes);
        }
        if (status)
            return true;
        if (status.Kind() == StatusKind::writtenNotFlushed)
            Message(PathToUtf8(target), status.Reason());
        else
            Message(PathToUtf8(target),
                    "cannot write: " + status.Reason() + "; nothing was changed there");
        return false;
    }

    int Players() {
        const std::vector<PlayerDrive> drives = FindPlayerDrives();
        if (drives.empty()) {
            m_err << kProgram
                  << ": no player found: no FAT or exFAT drive under /media, /run/media or /mnt "
                     "or on a removable disk\n";
            return kExitRefused;
        }
        for (const PlayerDrive& drive : drives) {
            std::string files;
            for (const std::string& name : drive.telFiles)
                files += (files.empty() ? "" : " ") + name;
            m_out << PathToUtf8(drive.root) << '\t' << drive.fileSystem << '\t'
                  << (drive.label.empty() ? "-" : drive.label) << '\t'
                  << (files.empty() ? "-" : files) << '\n';
        }
        return kExitSuccess;
    }

    // Input and output the same file, links resolved: writing would destroy what is read.
    static bool SameFile(const std::filesystem::path& source, const std::filesystem::path& target) {
        if (IsStandardStream(source) || IsStandardStream(target))
            return false;
        std::error_code error;
        return std::filesystem::equivalent(source, target, error) && !error;
    }

    int Convert(const Options& options) {
        const std::filesystem::path source = PathFromUtf8(options.operands[0]);
        const std::filesystem::path target = PathFromUtf8(options.operands[1]);
        Format sourceFormat = FormatOf(source);
        Format targetFormat = FormatOf(target);
        if (options.from) {
            sourceFormat = FormatNamed(*options.from);
            if (sourceFormat == Format::unknown || sourceFormat == Format::txt)
                return UsageError("--from takes tel, csv or vcf");
        }
        if (options.to) {
            targetFormat = FormatNamed(*options.to);
            if (targetFormat == Format::unknown)
                return UsageError("--to takes tel, txt, csv or vcf");
        }
        if (sourceFormat == Format::txt)
            return UsageError("a .txt report can be written, not read");
        if (sourceFormat == Format::unknown)
            return UsageError("cannot tell the format of \"" + PathToUtf8(source) +
                              "\": name a .tel, .csv or .vcf file, or give --from");
        if (targetFormat == Format::unknown)
            return UsageError("cannot tell the format of \"" + PathToUtf8(target) +
                              "\": name a .tel, .txt, .csv or .vcf file, or give --to");
        if (options.inputEncoding) {
            if (sourceFormat == Format::tel)
                return UsageError("--input-encoding is for a .csv or .vcf input; the texts of "
                                  "a .tel file are in the --encoding code page");
            if (!IsUtf8Name(*options.inputEncoding) &&
                !CCodePage(*options.inputEncoding).IsAvailable())
                return UsageError("unknown encoding \"" + *options.inputEncoding + "\"");
        }
        std::size_t takeFirst = 0;
        std::size_t takeLast = 0;
        if (options.take) {
            if (sourceFormat == Format::tel)
                return UsageError("--take is for a .csv or .vcf input");
            unsigned long long a = 0;
            unsigned long long b = 0;
            char rest = 0;
            if (std::sscanf(options.take->c_str(), "%llu-%llu%c", &a, &b, &rest) != 2 || a == 0 ||
                b < a || b - a >= static_cast<unsigned long long>(kMaxContacts))
                return UsageError("--take takes FIRST-LAST, counted from 1, at most " +
                                  std::to_string(kMaxContacts) + " contacts, e.g. --take 1-200");
            takeFirst = static_cast<std::size_t>(a);
            takeLast = static_cast<std::size_t>(b);
        }
        if (SameFile(source, target)) {
            Message(PathToUtf8(source), CStatus(StatusKind::sameFile).Reason() +
                                            "; it would be overwritten by what is read from it");
            m_err << kProgram << ": nothing written\n";
            return kExitRefused;
        }

        CMemoryNameList list(m_collation);
        CBookEditor editor(list, m_view);
        const std::string shownSource = Shown(source);
        const bool loaded = sourceFormat == Format::tel ? Load(editor, source)
                                                        : Import(editor, source, sourceFormat,
                                                                 options, takeFirst, takeLast);
        if (!loaded) {
            m_err << kProgram << ": nothing written\n";
            return kExitRefused;
        }
        if (editor.Table().Count() == 0) {
            m_err << kProgram << ": " << shownSource << " holds no contacts\n";
            m_err << kProgram << ": nothing written\n";
            return kExitRefused;
        }
        const auto bytes = BuildOutput(editor, shownSource, sourceFormat, targetFormat);
        if (!bytes || !WriteOutput(target, *bytes))
            return kExitRefused;
        return kExitSuccess;
    }

    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    CConsoleView m_view;
    LocaleEnvironment m_environment;
    CCodePage m_codePage{"UTF-8"};
    CNameCollation m_collation;
    const CommandInfo* m_command = nullptr;
};

} // namespace

int RunTool(std::span<const std::string> args, std::istream& in, std::ostream& out,
            std::ostream& err, const LocaleEnvironment& environment) {
    return CTool(in, out, err, environment).Run(args);
}

int RunTool(std::span<const std::string> args, std::ostream& out, std::ostream& err,
            const LocaleEnvironment& environment) {
    std::istringstream none;
    return CTool(none, out, err, environment).Run(args);
}

} // namespace orvalen
