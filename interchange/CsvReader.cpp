#include "CsvReader.h"

#include "TextInput.h"
#include "TextUtil.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace orvalen {
namespace {

enum class Role {
    ignored, // not understood
    unused,  // understood, but nothing the phone book keeps
    fullName,
    firstName,
    middleName,
    lastName,
    mobile,
    telephone,
    email,
    qq,
    fax,
    phoneType,  // Google's "Phone 1 - Type": says what the matching value column holds
    phoneValue, // Google's "Phone 1 - Value"
    imService,  // Google's "IM 1 - Service"
    imValue,    // Google's "IM 1 - Value"
};

struct KnownHeader {
    std::string_view text;
    Role role;
};

// Ours first, then the exports people bring: Google Contacts, Outlook, Thunderbird.
constexpr KnownHeader kHeaders[] = {
    {"Name", Role::fullName},
    {"Mobile", Role::mobile},
    {"Telephone", Role::telephone},
    {"E-mail", Role::email},
    {"QQ", Role::qq},
    {"Fax", Role::fax},
    {"Display Name", Role::fullName},
    {"Full Name", Role::fullName},
    {"First Name", Role::firstName},
    {"Given Name", Role::firstName},
    {"Middle Name", Role::middleName},
    {"Additional Name", Role::middleName},
    {"Last Name", Role::lastName},
    {"Family Name", Role::lastName},
    {"Mobile Phone", Role::mobile},
    {"Mobile Number", Role::mobile},
    {"Primary Phone", Role::telephone},
    {"Home Phone", Role::telephone},
    {"Home Phone 2", Role::telephone},
    {"Business Phone", Role::telephone},
    {"Business Phone 2", Role::telephone},
    {"Work Phone", Role::telephone},
    {"Company Main Phone", Role::telephone},
    {"Other Phone", Role::telephone},
    {"Car Phone", Role::telephone},
    {"Pager", Role::telephone},
    {"Pager Number", Role::telephone},
    {"Business Fax", Role::fax},
    {"Home Fax", Role::fax},
    {"Other Fax", Role::fax},
    {"Fax Number", Role::fax},
    {"E-mail Address", Role::email},
    {"E-mail 2 Address", Role::email},
    {"E-mail 3 Address", Role::email},
    {"Email", Role::email},
    {"Primary Email", Role::email},
    {"Secondary Email", Role::email},
    {"姓名", Role::fullName},
    {"手机", Role::mobile},
    {"电话", Role::telephone},
    {"邮箱", Role::email},
    {"电子邮件", Role::email},
    {"传真", Role::fax},
};

// Google numbers its repeated groups: "Phone 2 - Value", "E-mail 1 - Type", "IM 3 - Service".
struct NumberedHeader {
    std::string_view prefix;
    std::string_view suffix;
    Role role;
};

constexpr NumberedHeader kNumberedHeaders[] = {
    {"Phone ", " - Type", Role::phoneType},   {"Phone ", " - Label", Role::phoneType},
    {"Phone ", " - Value", Role::phoneValue}, {"E-mail ", " - Value", Role::email},
    {"IM ", " - Service", Role::imService},   {"IM ", " - Value", Role::imValue},
    {"E-mail ", " - Type", Role::unused},     {"E-mail ", " - Label", Role::unused},
    {"IM ", " - Type", Role::unused},         {"IM ", " - Label", Role::unused},
};

struct Column {
    Role role = Role::ignored;
    int group = 0; // the number of a Google group
};

Column Classify(std::string_view header) {
    header = Trim(header);
    for (const KnownHeader& known : kHeaders) {
        if (EqualsIgnoringCase(header, known.text))
            return {known.role, 0};
    }
    for (const NumberedHeader& numbered : kNumberedHeaders) {
        if (header.size() <= numbered.prefix.size() + numbered.suffix.size() ||
            !EqualsIgnoringCase(header.substr(0, numbered.prefix.size()), numbered.prefix) ||
            !EqualsIgnoringCase(header.substr(header.size() - numbered.suffix.size()),
                                numbered.suffix))
            continue;
        const std::string_view digits =
            header.substr(numbered.prefix.size(),
                          header.size() - numbered.prefix.size() - numbered.suffix.size());
        int group = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), group);
        if (error == std::errc() && end == digits.data() + digits.size())
            return {numbered.role, group};
    }
    return {};
}

// Headers that look like they hold a number or an address, though no known one does.
bool LooksLikeContactData(std::string_view header) {
    const std::string upper = ToUpper(header);
    for (std::string_view word : {"PHONE", "MOBILE", "FAX", "MAIL", "TEL", "QQ", "CELL"}) {
        if (upper.find(word) != std::string::npos)
            return true;
    }
    return false;
}

// Google puts several values in one cell: "+86 138 ::: +86 139".
std::vector<std::string> SplitMultiValue(std::string_view cell) {
    std::vector<std::string> values;
    constexpr std::string_view kSeparator = ":::";
    while (true) {
        const auto at = cell.find(kSeparator);
        const std::string_view value = Trim(cell.substr(0, at));
        if (!value.empty())
            values.emplace_back(value);
        if (at == std::string_view::npos)
            break;
        cell.remove_prefix(at + kSeparator.size());
    }
    return values;
}

ContactField PhoneFieldOfType(std::string_view type) {
    const std::string upper = ToUpper(type);
    if (upper.find("FAX") != std::string::npos)
        return ContactField::fax;
    if (upper.find("MOBILE") != std::string::npos || upper.find("CELL") != std::string::npos)
        return ContactField::mobile;
    return ContactField::telephone;
}

char FindSeparator(std::string_view text) {
    bool quoted = false;
    bool semicolon = false;
    bool tab = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == ',')
            return ',';
        else if (c == ';')
            semicolon = true;
        else if (c == '\t')
            tab = true;
        else if (c == '\r' || c == '\n')
            break;
    }
    return semicolon ? ';' : (tab ? '\t' : ',');
}

} // namespace

CCsvReader::Records CCsvReader::Split(std::string_view text) {
    Records result;
    const char separator = FindSeparator(text);
    int line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        Record record;
        record.line = line;
        std::string field;
        bool recordEnded = false;
        while (!recordEnded) {
            field.clear();
            if (i < text.size() && text[i] == '"') {
                const int quoteLine = line;
                ++i;
                bool closed = false;
                while (i < text.size()) {
                    const char c = text[i++];
                    if (c == '"') {
                        if (i < text.size() && text[i] == '"') {
                            field += '"';
                            ++i;
                            continue;
                        }
                        closed = true;
                        break;
                    }
                    if (c == '\n' || (c == '\r' && (i >= text.size() || text[i] != '\n')))
                        ++line;
                    field += c;
                }
                if (!closed) {
                    result.error = "line " + std::to_string(quoteLine) +
                                   ": a quoted field has no closing quote";
                    return result;
                }
            }
            // Unquoted text, or what follows a closing quote, runs to the separator; a quote
            // inside it is taken as it stands, as spreadsheets do.
            while (i < text.size() && text[i] != separator && text[i] != '\r' && text[i] != '\n')
                field += text[i++];
            record.fields.push_back(field);
            if (i < text.size() && text[i] == separator) {
                ++i;
                continue;
            }
            recordEnded = true;
            if (i < text.size()) {
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
                ++i;
                ++line;
            }
        }
        result.records.push_back(std::move(record));
    }
    return result;
}

std::string CCsvReader::KnownColumns() {
    std::string list;
    for (const KnownHeader& known : kHeaders) {
        list += list.empty() ? "" : ", ";
        list += known.text;
    }
    list += ", Phone N - Type, Phone N - Label, Phone N - Value, E-mail N - Value, "
            "IM N - Service, IM N - Value";
    return list;
}

InterchangeRead CCsvReader::Read(std::string_view bytes, std::string_view inputEncoding) {
    InterchangeRead result;
    auto decoded = DecodeText(bytes, inputEncoding);
    result.encoding = DetectEncoding(bytes, inputEncoding);
    if (!decoded) {
        result.error = inputEncoding.empty() && ByteOrderMarkLength(bytes) == 0
                           ? "the file is neither UTF-8 nor GB18030; name its encoding with "
                             "--input-encoding"
                           : "the file is not valid " + result.encoding;
        return result;
    }
    Records split = Split(decoded->utf8);
    if (split.error) {
        result.error = std::move(split.error);
        return result;
    }
    if (split.records.empty()) {
        result.error = "the file is empty; a header row is needed";
        return result;
    }

    const Record& header = split.records.front();
    std::vector<Column> columns;
    bool hasName = false;
    for (const std::string& text : header.fields) {
        const Column column = Classify(text);
        columns.push_back(column);
        hasName = hasName || column.role == Role::fullName || column.role == Role::firstName ||
                  column.role == Role::lastName;
        if (column.role == Role::ignored && LooksLikeContactData(text))
            result.warnings.push_back({header.line, 0,
                                       "column \"" + std::string(Trim(text)) +
                                           "\" is not understood; its values are not copied"});
    }
    if (!hasName) {
        result.warnings.clear();
        result.error = "line " + std::to_string(header.line) +
                       ": the header row names no known name column; the columns understood "
                       "are: " +
                       KnownColumns();
        return result;
    }

    for (std::size_t r = 1; r < split.records.size(); ++r) {
        const Record& record = split.records[r];
        auto cell = [&](std::size_t c) -> std::string_view {
            return c < record.fields.size() ? Trim(record.fields[c]) : std::string_view();
        };
        if (std::all_of(record.fields.begin(), record.fields.end(),
                        [](const std::string& f) { return Trim(f).empty(); }))
            continue;

        std::string fullName;
        std::string first;
        std::string middle;
        std::string last;
        FoundValues found;
        // Google pairs its typed columns by number: Phone 2 - Type with Phone 2 - Value.
        auto groupCell = [&](Role role, int group) -> std::string_view {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                if (columns[c].role == role && columns[c].group == group)
                    return cell(c);
            }
            return {};
        };
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string_view text = cell(c);
            if (text.empty())
                continue;
            auto add = [&](ContactField field) {
                for (std::string& value : SplitMultiValue(text))
                    found[FieldIndex(field)].push_back({std::move(value), record.line});
            };
            switch (columns[c].role) {
            case Role::fullName:
                if (fullName.empty())
                    fullName = text;
                break;
            case Role::firstName:
                first = text;
                break;
            case Role::middleName:
                middle = text;
                break;
            case Role::lastName:
                last = text;
                break;
            case Role::mobile:
                add(ContactField::mobile);
                break;
            case Role::telephone:
                add(ContactField::telephone);
                break;
            case Role::email:
                add(ContactField::email);
                break;
            case Role::qq:
                add(ContactField::qq);
                break;
            case Role::fax:
                add(ContactField::fax);
                break;
            case Role::phoneValue:
                add(PhoneFieldOfType(groupCell(Role::phoneType, columns[c].group)));
                break;
            case Role::imValue:
                if (EqualsIgnoringCase(Trim(groupCell(Role::imService, columns[c].group)), "QQ"))
                    add(ContactField::qq);
                break;
            case Role::phoneType:
            case Role::imService:
            case Role::unused:
            case Role::ignored:
                break;
            }
        }

        InterchangeContact contact;
        contact.line = record.line;
        contact[ContactField::name] =
            fullName.empty() ? JoinPersonName(last, first, middle) : fullName;
        if (contact[ContactField::name].empty()) {
            result.warnings.push_back({record.line, 0, "no name; row skipped"});
            continue;
        }
        PlaceFoundValues(contact, found, result.warnings);
        result.contacts.push_back(std::move(contact));
    }
    return result;
}

} // namespace orvalen
