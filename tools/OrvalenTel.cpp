#include "OrvalenTel.h"

#include "BookEditor.h"
#include "CodePage.h"
#include "CsvReader.h"
#include "CsvWriter.h"
#include "DeviceBookFile.h"
#include "Messages.h"
#include "NameCollation.h"
#include "NameList.h"
#include "PathText.h"
#include "PhoneBookTransfer.h"
#include "SafeFile.h"
#include "TextInput.h"
#include "TextReport.h"
#include "TextUtil.h"
#include "VCardReader.h"
#include "VCardWriter.h"

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
  help [COMMAND]    show this help, or a command's

Options:
  -h, --help        show this help; after a command, that command's
  --version         show the version

Exit status: 0 on success, 1 when an input is refused or a write fails, 2 for wrong usage.
Messages and warnings go to standard error.

Examples:
  orvalen-tel check Tel_Expt.tel
  orvalen-tel convert --encoding GBK phone.vcf Tel_Save.tel
  orvalen-tel convert --encoding GBK Tel_Expt.tel contacts.csv
)";

constexpr std::string_view kCheckHelp =
    R"(Usage: orvalen-tel check FILE.tel

Checks FILE.tel exactly as Orvalen's "Load" does (the signature 55 AA 68 68, and a size that
is a multiple of 128 from 640 to 26112 bytes) and prints the file size, the number of record
places and the number of contacts that "Load" would read.

A refused file prints Orvalen's own message, "Error!!, Not ZUM Tel file ..." or
"File Get Fail !!", and exits with status 1.

Options:
  -h, --help   show this help
)";

constexpr std::string_view kShowHelp =
    R"(Usage: orvalen-tel show [--encoding NAME] FILE.tel

Writes to standard output exactly the bytes that Orvalen's "Save As" writes after "Load" of
FILE.tel: the text report of every contact, sorted by name, CR LF line ends, closed by "END!".
An empty phone book has no report: "Please add item first !!" and status 1, as in the window.

Options:
  --encoding NAME   the code page of the names, which decides how they sort (default: the
                    system's, as in the window; GBK is the usual one for these players)
  -h, --help        show this help
)";

constexpr std::string_view kConvertHelp =
    R"(Usage: orvalen-tel convert [OPTIONS] IN OUT

Converts the contacts of IN into OUT. The formats come from the file endings:
  .tel   the player's phone-book file (read and write)
  .txt   Orvalen's text report (write only)
  .csv   comma-separated values (read and write)
  .vcf   vCard 2.1, 3.0 and 4.0 (read), vCard 3.0 in UTF-8 (write)

.tel to .tel is "Load" then "Save" (26112 bytes, sorted by name, as the window writes it);
.tel to .txt is "Load" then "Save As". Contacts read from .csv or .vcf enter the phone book in
file order and are written sorted by name, .vcf and .csv output included. A text longer than
its field on the player is cut at a character boundary, with a warning; an empty name is
skipped and repeated names are kept, with a warning; numbers and addresses for which a contact
has no field left are reported. More than 200 contacts are refused. Every conversion passes
through the player's phone book, so its limits hold for .csv and .vcf output too. OUT is
replaced only when the whole conversion succeeds; a failed command leaves no partial output.

A .csv input is read by its header row: Name,Mobile,Telephone,E-mail,QQ,Fax (what this program
writes), or the columns of Google Contacts, Outlook and Thunderbird exports. A .csv output is
UTF-8 with a byte order mark, so that spreadsheet programs read Chinese names.

Options:
  --encoding NAME         the code page of the texts in .tel and .txt files (default: the
                          system's, as in the window; GBK is the usual one for these players)
  --input-encoding NAME   the encoding of a .csv or .vcf input that is not UTF-8 (default: a
                          byte order mark decides, else UTF-8 when the file is valid UTF-8,
                          else GB18030); a byte order mark overrides it, and a vCard's
                          CHARSET parameters still apply to their values
  --replace               write "?" for a character that the code page cannot hold, instead
                          of refusing the input
  -h, --help              show this help

Examples:
  orvalen-tel convert --encoding GBK phone.vcf Tel_Save.tel
  orvalen-tel convert --encoding GBK Tel_Expt.tel contacts.csv
  orvalen-tel convert --encoding GBK --input-encoding GB18030 book.csv Tel_Save.tel
)";

enum class Format { tel, txt, csv, vcf, unknown };

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

    void SetSubject(std::string subject) { m_subject = std::move(subject); }

    void ReadForm(ContactForm&) override {}
    void WriteForm(const ContactForm&, int) override {}
    MessageResult ShowMessage(std::string_view text, MessageIcon, MessageButtons) override {
        m_err << kProgram << ": ";
        if (!m_subject.empty())
            m_err << m_subject << ": ";
        m_err << text << '\n';
        return MessageResult::ok;
    }
    std::optional<std::filesystem::path> ChooseFile(FileMode, std::string_view,
                                                    std::string_view) override {
        return std::nullopt;
    }

private:
    std::ostream& m_err;
    std::string m_subject;
};

struct Options {
    std::vector<std::string> operands;
    std::optional<std::string> encoding;
    std::optional<std::string> inputEncoding;
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
    {"check", kCheckHelp, 1, false, false},
    {"show", kShowHelp, 1, true, false},
    {"convert", kConvertHelp, 2, true, true},
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
    CTool(std::ostream& out, std::ostream& err) : m_out(out), m_err(err), m_view(err) {}

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
                return UsageError("help takes one command name: check, show or convert");
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
                              (command->operands == 1 ? "one file" : "two files, IN and OUT"));
        if (command->name == "check")
            return Check(PathFromUtf8(options->operands[0]));
        if (!SetCodePage(*options))
            return kExitUsage;
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
            if (target == nullptr) {
                UsageError("unknown option \"" + arg + "\" for " + std::string(command.name));
                return std::nullopt;
            }
            if (equals != std::string::npos) {
                *target = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                *target = args[++i];
            } else {
                UsageError(name + " needs a name, e.g. " + name + " GBK");
                return std::nullopt;
            }
            if ((*target)->empty()) {
                UsageError(name + " needs a name, e.g. " + name + " GBK");
                return std::nullopt;
            }
        }
        return options;
    }

    bool SetCodePage(const Options& options) {
        m_codePage = CCodePage(options.encoding ? *options.encoding : CCodePage::SystemName());
        if (!m_codePage.IsAvailable()) {
            UsageError("unknown encoding \"" + m_codePage.Name() + "\"");
            return false;
        }
        // Names sort as the window sorts them in this code page.
        if (const auto leads = m_codePage.DoubleByteLeads())
            SetDoubleByteLeadRange(leads->first, leads->second);
        else
            ClearDoubleByteLeads();
        return true;
    }

    void Message(const std::filesystem::path& subject, std::string_view text) {
        m_err << kProgram << ": " << PathToUtf8(subject) << ": " << text << '\n';
    }

    // The note's place: a vCard's number and line, a CSV line or a .tel record.
    void Note(const std::filesystem::path& source, Format format, const SourceNote& note,
              std::string_view kind) {
        m_err << kProgram << ": " << PathToUtf8(source) << ": ";
        if (note.card > 0)
            m_err << "card " << note.card << " (line " << note.line << "): ";
        else if (note.line > 0)
            m_err << (format == Format::tel ? "record " : "line ") << note.line << ": ";
        m_err << kind << ": " << note.text << '\n';
    }

    int Check(const std::filesystem::path& path) {
        const TelFileImage image = CDeviceBookFile::ReadImage(path);
        if (!image.IsLoadable()) {
            Message(path, image.error);
            return kExitRefused;
        }
        m_out << "File size: " << image.size << " bytes\n"
              << "Record places: " << image.recordPlaces << '\n'
              << "Contacts: " << image.recordsToRead << '\n';
        const int countByte = static_cast<unsigned char>(image.bytes[4]);
        if (countByte > image.recordPlaces)
            Message(path, "warning: the header counts " + std::to_string(countByte) +
                              " contacts, but only " + std::to_string(image.recordPlaces) +
                              " record places follow; Load reads " +
                              std::to_string(image.recordsToRead));
        return kExitSuccess;
    }

    // "Load": the phone book replaced by the file's contacts.
    bool Load(CBookEditor& editor, const std::filesystem::path& path) {
        const TelFileImage image = CDeviceBookFile::ReadImage(path);
        if (!image.IsLoadable()) {
            Message(path, image.error);
            return false;
        }
        CDeviceBookFile::LoadImage(editor, image);
        return true;
    }

    int Show(const std::filesystem::path& path) {
        CMemoryNameList list;
        CBookEditor editor(list, m_view);
        if (!Load(editor, path))
            return kExitRefused;
        m_view.SetSubject(PathToUtf8(path));
        if (editor.Table().Count() == 0) {
            m_view.ShowMessage(messages::kAddFirst, MessageIcon::warning, MessageButtons::ok);
            return kExitRefused;
        }
        const auto report = CTextReport::Build(editor);
        if (!report) {
            m_view.ShowMessage(messages::kSaveFailed, MessageIcon::error, MessageButtons::ok);
            return kExitRefused;
        }
        m_out.write(report->data(), static_cast<std::streamsize>(report->size()));
        m_out.flush();
        return m_out ? kExitSuccess : kExitRefused;
    }

    std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            Message(path, "cannot read: it is a folder");
            return std::nullopt;
        }
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            Message(path, "cannot read the file");
            return std::nullopt;
        }
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (file.bad()) {
            Message(path, "cannot read the file");
            return std::nullopt;
        }
        return bytes;
    }

    // Reads a .csv or .vcf input into the phone book.
    bool Import(CBookEditor& editor, const std::filesystem::path& path, Format format,
                const Options& options) {
        const auto bytes = ReadWholeFile(path);
        if (!bytes)
            return false;
        const std::string inputEncoding = options.inputEncoding.value_or("");
        const InterchangeRead read = format == Format::csv
                                         ? CCsvReader::Read(*bytes, inputEncoding)
                                         : CVCardReader::Read(*bytes, inputEncoding);
        if (read.IsRefused()) {
            for (const SourceNote& warning : read.warnings)
                Note(path, format, warning, "warning");
            Message(path, *read.error);
            return false;
        }
        const TransferOutcome outcome =
            FillPhoneBook(editor, read.contacts, m_codePage, options.replace);
        // In the order of the input, whichever step found them.
        std::vector<SourceNote> warnings = read.warnings;
        warnings.insert(warnings.end(), outcome.warnings.begin(), outcome.warnings.end());
        std::stable_sort(warnings.begin(), warnings.end(),
                         [](const SourceNote& a, const SourceNote& b) { return a.line < b.line; });
        for (const SourceNote& warning : warnings)
            Note(path, format, warning, "warning");
        for (const SourceNote& error : outcome.errors)
            Note(path, format, error, "error");
        const bool unencodable =
            std::any_of(outcome.errors.begin(), outcome.errors.end(), [](const SourceNote& error) {
                return error.text.find("cannot hold") != std::string::npos;
            });
        if (unencodable && !options.encoding)
            m_err << kProgram << ": the code page is the system's, " << m_codePage.Name()
                  << "; --encoding names the player's (GBK is the usual one)\n";
        return outcome.Succeeded();
    }

    bool WriteInterchange(const CBookEditor& editor, const std::filesystem::path& source,
                          const std::filesystem::path& target, Format format) {
        const ExtractOutcome extracted = ExtractPhoneBook(editor, m_codePage);
        if (extracted.listMismatch) {
            Message(target, messages::kSaveFailed);
            return false;
        }
        // Only a loaded .tel can hold bytes that the code page rejects: name its records.
        for (const SourceNote& warning : extracted.warnings)
            Note(source, Format::tel, warning, "warning");
        if (extracted.contacts.empty())
            Message(target, "warning: no contacts to write");
        const std::string bytes = format == Format::csv ? CCsvWriter::Write(extracted.contacts)
                                                        : CVCardWriter::Write(extracted.contacts);
        if (!WriteFileSafely(target, bytes)) {
            Message(target, "cannot write the file; nothing was changed there");
            return false;
        }
        return true;
    }

    int Convert(const Options& options) {
        const std::filesystem::path source = PathFromUtf8(options.operands[0]);
        const std::filesystem::path target = PathFromUtf8(options.operands[1]);
        const Format sourceFormat = FormatOf(source);
        const Format targetFormat = FormatOf(target);
        if (sourceFormat == Format::txt)
            return UsageError("a .txt report can be written, not read");
        if (sourceFormat == Format::unknown)
            return UsageError("cannot tell the format of \"" + PathToUtf8(source) +
                              "\": name a .tel, .csv or .vcf file");
        if (targetFormat == Format::unknown)
            return UsageError("cannot tell the format of \"" + PathToUtf8(target) +
                              "\": name a .tel, .txt, .csv or .vcf file");
        if (options.inputEncoding) {
            if (sourceFormat == Format::tel)
                return UsageError("--input-encoding is for a .csv or .vcf input; the texts of "
                                  "a .tel file are in the --encoding code page");
            if (!IsUtf8Name(*options.inputEncoding) &&
                !CCodePage(*options.inputEncoding).IsAvailable())
                return UsageError("unknown encoding \"" + *options.inputEncoding + "\"");
        }

        CMemoryNameList list;
        CBookEditor editor(list, m_view);
        const bool loaded = sourceFormat == Format::tel
                                ? Load(editor, source)
                                : Import(editor, source, sourceFormat, options);
        if (!loaded) {
            m_err << kProgram << ": nothing written\n";
            return kExitRefused;
        }

        m_view.SetSubject(PathToUtf8(target));
        if (targetFormat == Format::tel || targetFormat == Format::txt) {
            // As the buttons do: an empty phone book is not saved.
            if (editor.Table().Count() == 0) {
                m_view.ShowMessage(messages::kAddFirst, MessageIcon::warning, MessageButtons::ok);
                return kExitRefused;
            }
            const bool saved = targetFormat == Format::tel ? CDeviceBookFile::SaveTo(editor, target)
                                                           : CTextReport::SaveTo(editor, target);
            return saved ? kExitSuccess : kExitRefused;
        }
        return WriteInterchange(editor, source, target, targetFormat) ? kExitSuccess : kExitRefused;
    }

    std::ostream& m_out;
    std::ostream& m_err;
    CConsoleView m_view;
    CCodePage m_codePage{"UTF-8"};
    const CommandInfo* m_command = nullptr;
};

} // namespace

int RunTool(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    return CTool(out, err).Run(args);
}

} // namespace orvalen
