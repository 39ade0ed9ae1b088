#include "ContactImport.h"

#include "CsvReader.h"
#include "CsvWriter.h"
#include "PhoneBookTransfer.h"
#include "TextInput.h"
#include "VCardReader.h"
#include "VCardWriter.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <iterator>

namespace orvalen {
namespace {

// Enough for a phone's export full of photos; anything larger is refused before it is read.
constexpr std::uintmax_t kMaxFileSize = 64u << 20;
// Values quoted in notes are cut to about this many bytes.
constexpr std::size_t kQuoteBytes = 40;

enum class Format { vcard, csv };

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Ending(const std::filesystem::path& path) {
    return Lower(path.extension().string());
}

Format FormatOf(const std::filesystem::path& path, std::string_view bytes) {
    const std::string ending = Ending(path);
    if (ending == ".csv")
        return Format::csv;
    if (ending == ".vcf" || ending == ".vcard")
        return Format::vcard;
    // Any other name: a vCard says so near its start.
    const std::string head = Lower(std::string(bytes.substr(0, 4096)));
    return head.find("begin:vcard") != std::string::npos ? Format::vcard : Format::csv;
}

CResult<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status))
        return CStatus(StatusKind::notFound, path);
    if (std::filesystem::is_directory(status))
        return CStatus(StatusKind::isFolder, path);
    // A pipe or a device could block the window or never end.
    if (!std::filesystem::is_regular_file(status))
        return CStatus(StatusKind::notRegularFile, path);
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxFileSize)
        return CStatus(StatusKind::tooLarge, path, "more than 64 MB");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return errno != 0 ? CStatus::FromErrno(errno, path) : CStatus(StatusKind::ioError, path);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad())
        return CStatus(StatusKind::ioError, path);
    return bytes;
}

// The player shows each field on one line: line breaks and tabs become blanks, other control
// characters go, and blanks around the text go.
std::string Clean(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r' || c == '\n' || c == '\t')
            clean += ' ';
        else if (byte >= 0x20 && byte != 0x7F)
            clean += c;
    }
    const auto first = clean.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return clean.substr(first, clean.find_last_not_of(' ') - first + 1);
}

std::string Quoted(std::string_view utf8) {
    if (utf8.size() <= kQuoteBytes)
        return "\"" + std::string(utf8) + "\"";
    std::size_t end = 0;
    while (end < utf8.size()) {
        const std::size_t length = std::max<std::size_t>(Utf8CharLength(utf8.substr(end)), 1);
        if (end + length > kQuoteBytes)
            break;
        end += length;
    }
    return "\"" + std::string(utf8.substr(0, end)) + "…\"";
}

// A number without its formatting: blanks, dashes, dots and parentheses.
std::string Unformatted(std::string_view number) {
    std::string digits;
    for (const char c : number) {
        if (c != ' ' && c != '-' && c != '.' && c != '(' && c != ')')
            digits += c;
    }
    return digits;
}

bool IsNumber(ContactField field) {
    return field == ContactField::mobile || field == ContactField::telephone ||
           field == ContactField::qq || field == ContactField::fax;
}

std::string Capitalized(std::string_view label) {
    std::string text(label);
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

// The field's text as the phone book stores it, with what the user should know of the change.
std::string Fit(ContactField field, const std::string& text, const CCodePage& codePage,
                std::vector<std::string>& notes) {
    const std::string label = Capitalized(FieldLabel(field));
    const std::string limit = std::to_string(MaxLength(field)) + " bytes";
    if (field == ContactField::name) {
        // A shorter name still names the person: cut at a character boundary.
        auto fitted = codePage.FromUtf8Fitting(text, MaxLength(field), true);
        if (!fitted)
            return {};
        if (!codePage.FromUtf8(text))
            notes.push_back(label + ": characters " + codePage.Name() +
                            " cannot hold became \"?\"");
        if (!fitted->complete) {
            while (fitted->bytes.ends_with(' '))
                fitted->bytes.pop_back();
            notes.push_back(label + " " + Quoted(text) + " cut to " + limit);
        }
        return std::move(fitted->bytes);
    }
    // A number or an address cut short would be another one: it is stored whole or not at all.
    auto bytes = codePage.FromUtf8(text);
    if (!bytes) {
        notes.push_back(label + " " + Quoted(text) + " left out: " + codePage.Name() +
                        " cannot hold all its characters");
        return {};
    }
    if (bytes->size() <= MaxLength(field))
        return std::move(*bytes);
    if (IsNumber(field)) {
        const std::string digits = Unformatted(*bytes);
        if (digits.size() <= MaxLength(field))
            return digits;
    }
    notes.push_back(label + " " + Quoted(text) + " left out: longer than " + limit);
    return {};
}

} // namespace

CResult<ImportFile> ReadImportFile(const std::filesystem::path& path, const CCodePage& codePage,
                                   const CContactTable& book, std::string_view encoding) {
    CResult<std::string> bytes = ReadWholeFile(path);
    if (!bytes)
        return bytes.Status();
    const Format format = FormatOf(path, *bytes);
    const InterchangeRead read = format == Format::csv ? CCsvReader::Read(*bytes, encoding)
                                                       : CVCardReader::Read(*bytes, encoding);
    if (read.IsRefused())
        return CStatus(StatusKind::malformed, path, *read.error);

    ImportFile file;
    file.encoding = read.encoding;
    file.guessed = encoding.empty() && ByteOrderMarkLength(*bytes) == 0 && !IsValidUtf8(*bytes);
    file.rows.reserve(read.contacts.size());
    for (const InterchangeContact& contact : read.contacts) {
        ImportRow row;
        std::vector<std::string> notes;
        for (ContactField field : kAllFields)
            row.form[field] = Fit(field, Clean(contact[field]), codePage, notes);
        if (row.form[ContactField::name].empty())
            continue;
        // What the reader found no field for in this contact.
        for (const SourceNote& warning : read.warnings) {
            const bool same = contact.card > 0 ? warning.card == contact.card
                                               : warning.card == 0 && warning.line == contact.line;
            if (same)
                notes.push_back(warning.text);
        }
        for (const std::string& note : notes)
            row.note += (row.note.empty() ? "" : "\n") + note;
        row.known = book.Find(row.form[ContactField::name]) != CContactTable::kNone;
        file.rows.push_back(std::move(row));
    }
    return file;
}

CResult<std::string> ExportBytes(const CBookEditor& editor, const CCodePage& codePage,
                                 const std::filesystem::path& path) {
    const ExtractOutcome extracted = ExtractPhoneBook(editor, codePage);
    if (extracted.listMismatch)
        return CStatus(StatusKind::listMismatch, path);
    if (Ending(path) == ".csv")
        return CCsvWriter::Write(extracted.contacts);
    return CVCardWriter::Write(extracted.contacts);
}

bool IsContactsFile(const std::filesystem::path& path) {
    const std::string ending = Ending(path);
    return ending == ".vcf" || ending == ".csv";
}

bool IsPhoneBookFile(const std::filesystem::path& path) {
    return Ending(path) == ".tel";
}

} // namespace orvalen
