#include "CsvReader.h"

#include "TextInput.h"
#include "TextUtil.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

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
    emailType,  // Google's "E-mail 1 - Type": "* " marks the preferred address
    emailValue, // Google's "E-mail 1 - Value"
    organization,
    nickname,
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
    {"Assistant's Phone", Role::telephone},
    {"Callback", Role::telephone},
    {"ISDN", Role::telephone},
    {"Radio Phone", Role::telephone},
    {"TTY/TDD Phone", Role::telephone},
    {"Company", Role::organization},
    {"Organization", Role::organization},
    {"Organization Name", Role::organization},
    {"Nickname", Role::nickname},
    {"Nick Name", Role::nickname},
    {"公司", Role::organization},
    {"昵称", Role::nickname},
    // Outlook's columns about its e-mail addresses and its telex: nothing the player keeps.
    {"E-mail Type", Role::unused},
    {"E-mail 2 Type", Role::unused},
    {"E-mail 3 Type", Role::unused},
    {"E-mail Display Name", Role::unused},
    {"E-mail 2 Display Name", Role::unused},
    {"E-mail 3 Display Name", Role::unused},
    {"Telex", Role::unused},
};

// Google numbers its repeated groups: "Phone 2 - Value", "E-mail 1 - Type", "IM 3 - Service".
struct NumberedHeader {
    std::string_view prefix;
    std::string_view suffix;
    Role role;
};

constexpr NumberedHeader kNumberedHeaders[] = {
    {"Phone ", " - Type", Role::phoneType},
    {"Phone ", " - Label", Role::phoneType},
    {"Phone ", " - Value", Role::phoneValue},
    {"E-mail ", " - Value", Role::emailValue},
    {"IM ", " - Service", Role::imService},
    {"IM ", " - Value", Role::imValue},
    {"E-mail ", " - Type", Role::emailType},
    {"E-mail ", " - Label", Role::emailType},
    {"IM ", " - Type", Role::unused},
    {"IM ", " - Label", Role::unused},
    {"Organization ", " - Name", Role::organization},
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
    // Google's "Phonetic First Name" spells a name, not a phone.
    if (upper.find("PHONETIC") != std::string::npos)
        return false;
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
                    result.status = CStatus(StatusKind::malformed, {}, std::string(kUnclosedQuote));
                    result.status.WithLine(quoteLine);
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
                // CR LF, LF, CR, and the CR CR LF of iOS 6 each end one line.
                if (text.substr(i, 3) == "\r\r\n")
                    i += 2;
                else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
                ++i;
                ++line;
            }
        }
        // Blank lines hold nothing: keeping them would let memory grow with their number.
        const bool blank = std::all_of(record.fields.begin(), record.fields.end(),
                                       [](const std::string& f) { return Trim(f).empty(); });
        if (!blank)
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
    result.guessed = IsGuessed(bytes, inputEncoding);
    if (!decoded) {
        result.status = CStatus(StatusKind::encoding, {}, result.encoding);
        return result;
    }
    Records split = Split(decoded->utf8);
    if (!split.status.IsOk()) {
        result.status = std::move(split.status);
        return result;
    }
    if (split.records.empty()) {
        result.status = CStatus(StatusKind::malformed, {}, std::string(kNoHeader));
        return result;
    }

    const Record& header = split.records.front();
    std::vector<Column> columns;
    bool hasName = false;
    for (const std::string& text : header.fields) {
        const Column column = Classify(text);
        columns.push_back(column);
        hasName = hasName || column.role == Role::fullName || column.role == Role::firstName ||
                  column.role == Role::lastName || column.role == Role::organization ||
                  column.role == Role::nickname;
    }
    if (!hasName) {
        result.status = CStatus(StatusKind::malformed, {}, std::string(kNoNameColumn));
        result.status.WithLine(header.line);
        return result;
    }
    // Google pairs its typed columns by number: Phone 2 - Type with Phone 2 - Value.
    auto groupColumn = [&](Role role, int group) -> std::optional<std::size_t> {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (columns[c].role == role && columns[c].group == group)
                return c;
        }
        return std::nullopt;
    };
    std::vector<std::optional<std::size_t>> partner(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].role == Role::phoneValue)
            partner[c] = groupColumn(Role::phoneType, columns[c].group);
        else if (columns[c].role == Role::imValue)
            partner[c] = groupColumn(Role::imService, columns[c].group);
        else if (columns[c].role == Role::emailValue)
            partner[c] = groupColumn(Role::emailType, columns[c].group);
    }

    for (std::size_t r = 1; r < split.records.size(); ++r) {
        const Record& record = split.records[r];
        auto cell = [&](std::size_t c) -> std::string_view {
            return c < record.fields.size() ? Trim(record.fields[c]) : std::string_view();
        };
        auto partnerCell = [&](std::size_t c) -> std::string_view {
            return partner[c] ? cell(*partner[c]) : std::string_view();
        };

        std::string fullName;
        std::string first;
        std::string middle;
        std::string last;
        std::string organization;
        std::string nickname;
        FoundValues found;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string_view text = cell(c);
            if (text.empty())
                continue;
            auto add = [&](ContactField field, int preference = 0) {
                for (std::string& value : SplitMultiValue(text))
                    found[FieldIndex(field)].push_back({std::move(value), record.line, preference});
            };
            // Google marks the preferred entry's type with a leading "* ".
            const int preference = partnerCell(c).starts_with('*') ? 1 : 0;
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
            case Role::organization:
                if (organization.empty())
                    organization = text;
                break;
            case Role::nickname:
                if (nickname.empty())
                    nickname = text;
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
            case Role::emailValue:
                add(ContactField::email, preference);
                break;
            case Role::qq:
                add(ContactField::qq);
                break;
            case Role::fax:
                add(ContactField::fax);
                break;
            case Role::phoneValue:
                add(PhoneFieldOfType(partnerCell(c)), preference);
                break;
            case Role::imValue:
                if (EqualsIgnoringCase(partnerCell(c), "QQ"))
                    add(ContactField::qq);
                break;
            case Role::ignored:
                // Only a column that seems to hold numbers, and holds one here, loses data.
                if (LooksLikeContactData(header.fields[c]))
                    result.notes.Add({NoteKind::columnUnused, ContactField::name, record.line, 0,
                                      std::string(Trim(header.fields[c])), std::string(text), 0});
                break;
            case Role::phoneType:
            case Role::imService:
            case Role::emailType:
            case Role::unused:
                break;
            }
        }

        InterchangeContact contact;
        contact.line = record.line;
        // As phones name a contact: the name columns, else the company, else the nickname.
        std::string name = fullName.empty() ? JoinPersonName(last, first, middle) : fullName;
        if (name.empty())
            name = organization;
        if (name.empty())
            name = nickname;
        if (name.empty()) {
            result.notes.Add({NoteKind::noName, ContactField::name, record.line, 0, {}, {}, 0});
            continue;
        }
        contact[ContactField::name] = std::move(name);
        PlaceFoundValues(contact, std::move(found));
        result.contacts.push_back(std::move(contact));
    }
    return result;
}

} // namespace orvalen
