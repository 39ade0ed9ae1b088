#include "CsvReader.h"

#include "CodePage.h"
#include "ContactSyntax.h"
#include "TextInput.h"
#include "TextUtil.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <functional>
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
    primaryTelephone, // Outlook's "Primary Phone": preferred over its other numbers
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
    {"Primary Phone", Role::primaryTelephone},
    {"Home Phone", Role::telephone},
    {"Home Phone 2", Role::telephone},
    {"Business Phone", Role::telephone},
    {"Business Phone 2", Role::telephone},
    {"Work Phone", Role::telephone},
    {"Company Main Phone", Role::telephone},
    {"Other Phone", Role::telephone},
    {"Car Phone", Role::telephone},
    {"Pager", Role::unused},
    {"Pager Number", Role::unused},
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
    // Chinese mail programs (Foxmail, Outlook in Simplified and Traditional Chinese).
    {"名", Role::firstName},
    {"姓", Role::lastName},
    {"名字", Role::firstName},
    {"姓氏", Role::lastName},
    {"中间名", Role::middleName},
    {"移动电话", Role::mobile},
    {"行動電話", Role::mobile},
    {"商务电话", Role::telephone},
    {"住宅电话", Role::telephone},
    {"商務電話", Role::telephone},
    {"住宅電話", Role::telephone},
    {"主要电话", Role::primaryTelephone},
    {"電話", Role::telephone},
    {"电子邮件地址", Role::email},
    {"電子郵件地址", Role::email},
    {"商务传真", Role::fax},
    {"住宅传真", Role::fax},
    {"商務傳真", Role::fax},
    {"住宅傳真", Role::fax},
    {"寻呼机", Role::unused},
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

// Headers no table names, by the words they hold: "Home Phone 3", "Mobile 2", "工作电话". A word
// is compared whole ("Hotel" holds no TEL); Chinese keywords anywhere in the header.
Column ByKeyword(std::string_view header) {
    const std::string upper = ToUpper(header);
    std::vector<std::string_view> words;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= upper.size(); ++i) {
        const bool letter =
            i < upper.size() && (std::isalnum(static_cast<unsigned char>(upper[i])) ||
                                 static_cast<unsigned char>(upper[i]) >= 0x80);
        if (!letter) {
            if (i > start)
                words.push_back(std::string_view(upper).substr(start, i - start));
            start = i + 1;
        }
    }
    auto hasWord = [&](std::initializer_list<std::string_view> wanted) {
        return std::any_of(words.begin(), words.end(), [&](std::string_view word) {
            return std::find(wanted.begin(), wanted.end(), word) != wanted.end();
        });
    };
    auto holds = [&](std::initializer_list<std::string_view> wanted) {
        return std::any_of(wanted.begin(), wanted.end(),
                           [&](std::string_view w) { return upper.find(w) != std::string::npos; });
    };
    if (hasWord({"PHONETIC", "TYPE", "LABEL"}))
        return {};
    if (hasWord({"PAGER", "MODEM"}) || holds({"寻呼", "尋呼"}))
        return {Role::unused, 0};
    if (hasWord({"FAX"}) || holds({"传真", "傳真"}))
        return {Role::fax, 0};
    if (hasWord({"MOBILE", "CELL", "CELLPHONE", "IPHONE"}) ||
        holds({"手机", "移动", "行動", "手機"}))
        return {Role::mobile, 0};
    if (hasWord({"PHONE", "TEL", "TELEPHONE"}) || holds({"电话", "電話"}))
        return {Role::telephone, 0};
    if (hasWord({"EMAIL", "MAIL"}) || holds({"邮件", "邮箱", "郵件"}))
        return {Role::email, 0};
    if (hasWord({"QQ"}))
        return {Role::qq, 0};
    return {};
}

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
    return ByKeyword(header);
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

// The field a Google "Phone N - Type" names; nothing for a pager or modem, which dial no one.
std::optional<ContactField> PhoneFieldOfType(std::string_view type) {
    const std::string upper = ToUpper(type);
    auto holds = [&](std::initializer_list<std::string_view> words) {
        return std::any_of(words.begin(), words.end(),
                           [&](std::string_view w) { return upper.find(w) != std::string::npos; });
    };
    if (holds({"PAGER", "MODEM", "寻呼"}))
        return std::nullopt;
    if (holds({"FAX", "传真", "傳真"}))
        return ContactField::fax;
    if (holds({"MOBILE", "CELL", "IPHONE", "手机", "移动", "行動", "手機"}))
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

// Records from bytes fed in chunks of any size (RFC 4180: quoted fields, doubled quotes,
// separators and line breaks inside quotes). The separator is the first of comma, semicolon
// and tab that the first record holds outside quotes. A field stops growing at
// kMaxLogicalLine bytes and a record at kMaxFields fields, each with a note; a quote still open
// at the end, or over kMaxLogicalLine bytes, ends its field with a note.
class CCsvSplitter {
public:
    static constexpr std::size_t kMaxFields = 1024;
    using RecordHandler = std::function<void(std::vector<std::string>& fields, int line)>;
    using NoteHandler = std::function<void(NoteKind kind, int line)>;

    CCsvSplitter(RecordHandler onRecord, NoteHandler onNote)
        : m_onRecord(std::move(onRecord)), m_onNote(std::move(onNote)) {}

    void Feed(std::string_view bytes) {
        if (m_separator == 0) {
            // The first record is held until it ends, to find its separator.
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const char c = bytes[i];
                m_head += c;
                if (c == '"')
                    m_headQuoted = !m_headQuoted;
                else if (((c == '\n' || c == '\r') && !m_headQuoted && m_head.size() > 1) ||
                         m_head.size() >= kMaxLogicalLine)
                    return StartWithHead(bytes.substr(i + 1));
            }
            return;
        }
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (m_cr == 0 && m_state == State::unquoted && !m_dropping) {
                // The rest of an unquoted field, appended at once.
                std::size_t end = i;
                while (end < bytes.size() && bytes[end] != m_separator && bytes[end] != '\r' &&
                       bytes[end] != '\n' && m_field.size() + (end - i) < kMaxLogicalLine)
                    ++end;
                m_field.append(bytes.substr(i, end - i));
                i = end;
                if (i >= bytes.size())
                    break;
            }
            Step(bytes[i]);
        }
    }

    void Finish() {
        if (m_separator == 0)
            StartWithHead({});
        if (m_state == State::quoted || m_state == State::quoteInQuoted) {
            if (m_state == State::quoted)
                m_onNote(NoteKind::unclosedQuote, m_quoteLine);
            m_state = State::afterQuote;
        }
        if (m_cr == 0 && (m_state != State::fieldStart || !m_fields.empty()))
            EndRecord();
    }

    std::size_t BufferBytes() const {
        std::size_t bytes = m_head.capacity() + m_field.capacity();
        for (const std::string& field : m_fields)
            bytes += sizeof(std::string) + field.capacity();
        return bytes;
    }

private:
    enum class State { fieldStart, unquoted, quoted, quoteInQuoted, afterQuote };

    void StartWithHead(std::string_view more) {
        m_separator = FindSeparator(m_head);
        std::string head = std::move(m_head);
        m_head = {};
        for (char c : head)
            Step(c);
        for (char c : more)
            Step(c);
    }

    void Add(char c) {
        if (m_field.size() < kMaxLogicalLine) {
            m_field += c;
            return;
        }
        if (m_state == State::quoted) {
            // A quote that runs this long was never closed: its field ends here.
            m_onNote(NoteKind::unclosedQuote, m_quoteLine);
            m_state = State::unquoted;
            m_dropping = true;
            return;
        }
        if (!m_dropping)
            m_onNote(NoteKind::lineTooLong, m_line);
        m_dropping = true;
    }

    void EndField() {
        if (m_fields.size() < kMaxFields)
            m_fields.push_back(std::move(m_field));
        else if (m_fields.size() == kMaxFields) {
            m_onNote(NoteKind::lineTooLong, m_recordLine);
            m_fields.emplace_back(); // noted once; the record keeps kMaxFields
        }
        m_field.clear();
        m_dropping = false;
        m_state = State::fieldStart;
    }

    void EndRecord() {
        EndField();
        if (m_fields.size() > kMaxFields)
            m_fields.resize(kMaxFields);
        m_onRecord(m_fields, m_recordLine);
        m_fields.clear();
        if (m_field.capacity() > (64u << 10))
            m_field.shrink_to_fit();
    }

    void Step(char c) {
        if (m_cr > 0) {
            // CR LF, LF, CR, and the CR CR LF of iOS 6 each end one line.
            if (c == '\n') {
                m_cr = 0;
                return;
            }
            if (c == '\r' && m_cr == 1) {
                m_cr = 2;
                return;
            }
            if (m_cr == 2) { // a second CR ended an empty line
                ++m_line;
                m_recordLine = m_line;
            }
            m_cr = 0;
        }
        switch (m_state) {
        case State::quoted:
            if (c == '"') {
                m_state = State::quoteInQuoted;
                return;
            }
            if (c == '\n' || c == '\r') {
                // Inside quotes CR LF counts one line, as outside.
                if (!(c == '\n' && m_lastInQuote == '\r'))
                    ++m_line;
            }
            m_lastInQuote = c;
            Add(c);
            return;
        case State::quoteInQuoted:
            if (c == '"') {
                Add('"');
                m_state = State::quoted;
                return;
            }
            m_state = State::afterQuote;
            break;
        case State::fieldStart:
            if (c == '"') {
                m_state = State::quoted;
                m_quoteLine = m_line;
                m_lastInQuote = 0;
                return;
            }
            m_state = State::unquoted;
            break;
        case State::unquoted:
        case State::afterQuote:
            break;
        }
        // Unquoted text, or what follows a closing quote, runs to the separator; a quote
        // inside it is taken as it stands, as spreadsheets do.
        if (c == m_separator) {
            EndField();
            m_state = State::fieldStart;
            return;
        }
        if (c == '\r' || c == '\n') {
            EndRecord();
            ++m_line;
            m_recordLine = m_line;
            m_cr = c == '\r' ? 1 : 0;
            return;
        }
        if (m_state == State::fieldStart)
            m_state = State::unquoted;
        Add(c);
    }

    RecordHandler m_onRecord;
    NoteHandler m_onNote;
    std::string m_head;
    bool m_headQuoted = false;
    char m_separator = 0;
    State m_state = State::fieldStart;
    std::string m_field;
    std::vector<std::string> m_fields;
    bool m_dropping = false;
    int m_cr = 0;
    char m_lastInQuote = 0;
    int m_line = 1;
    int m_recordLine = 1;
    int m_quoteLine = 1;
};

bool IsBlank(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [](const std::string& f) { return Trim(f).empty(); });
}

bool IsNameRole(Role role) {
    return role == Role::fullName || role == Role::firstName || role == Role::lastName ||
           role == Role::organization || role == Role::nickname;
}

std::optional<std::string> DecodeIn(std::string_view set, std::string_view bytes) {
    if (IsUtf8Name(set))
        return IsValidUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    return CCodePage(std::string(set)).ToUtf8(bytes);
}

} // namespace

class CCsvSyntax::CImpl {
public:
    CImpl(CContactSink& sink, std::vector<std::string> headerSets)
        : m_sink(sink), m_headerSets(std::move(headerSets)),
          m_splitter([this](std::vector<std::string>& fields, int line) { Record(fields, line); },
                     [this](NoteKind kind, int line) {
                         m_sink.Note({kind, ContactField::name, line, 0, {}, {}, 0});
                     }) {}

    void Feed(std::string_view bytes) { m_splitter.Feed(bytes); }

    CStatus Finish() {
        m_splitter.Finish();
        if (!m_haveHeader)
            return CStatus(StatusKind::malformed, {}, std::string(CCsvReader::kNoHeader));
        if (!m_hasName)
            return CStatus(StatusKind::malformed, {}, std::string(CCsvReader::kNoNameColumn))
                .WithLine(m_headerLine);
        return {};
    }

    std::size_t BufferBytes() const { return m_splitter.BufferBytes(); }

private:
    void Header(const std::vector<std::string>& fields, int line) {
        m_haveHeader = true;
        m_headerLine = line;
        std::vector<std::string> texts;
        // The first set in which every header cell decodes and some cell names a name column.
        for (const std::string& set : m_headerSets) {
            std::vector<std::string> decoded;
            for (const std::string& field : fields) {
                auto text = DecodeIn(set, field);
                if (!text)
                    break;
                decoded.push_back(std::move(*text));
            }
            if (decoded.size() != fields.size())
                continue;
            if (texts.empty()) {
                texts = decoded;
                m_headerSet = set;
            }
            if (std::any_of(decoded.begin(), decoded.end(),
                            [](const std::string& t) { return IsNameRole(Classify(t).role); })) {
                texts = std::move(decoded);
                m_headerSet = set;
                break;
            }
        }
        if (texts.size() != fields.size())
            texts = fields;
        for (const std::string& text : texts) {
            const Column column = Classify(text);
            m_columns.push_back(column);
            m_headers.emplace_back(Trim(text));
            m_hasName = m_hasName || IsNameRole(column.role);
            m_namesContact.push_back(IsNameRole(column.role) || column.role == Role::firstName ||
                                     column.role == Role::middleName ||
                                     column.role == Role::email || column.role == Role::emailValue);
        }
        // Google pairs its typed columns by number: Phone 2 - Type with Phone 2 - Value.
        auto groupColumn = [&](Role role, int group) -> std::optional<std::size_t> {
            for (std::size_t c = 0; c < m_columns.size(); ++c) {
                if (m_columns[c].role == role && m_columns[c].group == group)
                    return c;
            }
            return std::nullopt;
        };
        m_partner.resize(m_columns.size());
        for (std::size_t c = 0; c < m_columns.size(); ++c) {
            if (m_columns[c].role == Role::phoneValue)
                m_partner[c] = groupColumn(Role::phoneType, m_columns[c].group);
            else if (m_columns[c].role == Role::imValue)
                m_partner[c] = groupColumn(Role::imService, m_columns[c].group);
            else if (m_columns[c].role == Role::emailValue)
                m_partner[c] = groupColumn(Role::emailType, m_columns[c].group);
        }
    }

    void Record(const std::vector<std::string>& fields, int line) {
        // Blank lines hold nothing, whatever their number.
        if (IsBlank(fields))
            return;
        if (!m_haveHeader)
            return Header(fields, line);
        if (!m_hasName)
            return;
        auto cell = [&](std::size_t c) -> std::string_view {
            return c < fields.size() ? Trim(fields[c]) : std::string_view();
        };
        auto partnerCell = [&](std::size_t c) -> std::string {
            if (!m_partner[c])
                return {};
            const std::string_view raw = cell(*m_partner[c]);
            return DecodeIn(m_headerSet, raw).value_or(std::string(raw));
        };
        RawContact contact;
        contact.line = line;
        if (!m_sink.Wanted()) {
            // Only counted: a name source is all that matters.
            for (std::size_t c = 0; c < m_columns.size() && !contact.named; ++c)
                contact.named = m_namesContact[c] && !cell(c).empty();
            m_sink.Contact(std::move(contact));
            return;
        }
        auto text = [&](std::string_view bytes) { return MakeRawText(bytes, line); };
        for (std::size_t c = 0; c < m_columns.size(); ++c) {
            const std::string_view value = cell(c);
            if (value.empty())
                continue;
            auto add = [&](ContactField field, RawKind kind, int preference = 0) {
                for (const std::string& part : SplitMultiValue(value)) {
                    RawText raw = text(part);
                    raw.preference = preference;
                    contact.Add(field, kind, std::move(raw));
                }
            };
            // Google marks the preferred entry's type with a leading "* ".
            const int preference = partnerCell(c).starts_with('*') ? 1 : 0;
            switch (m_columns[c].role) {
            case Role::fullName:
                if (!contact.fullName)
                    contact.fullName = std::make_unique<RawText>(text(value));
                break;
            case Role::firstName:
                contact.given = std::make_unique<RawText>(text(value));
                break;
            case Role::middleName:
                contact.middle = std::make_unique<RawText>(text(value));
                break;
            case Role::lastName:
                contact.family = std::make_unique<RawText>(text(value));
                break;
            case Role::organization:
                if (!contact.organization)
                    contact.organization = std::make_unique<RawText>(text(value));
                break;
            case Role::nickname:
                if (!contact.nickname)
                    contact.nickname = std::make_unique<RawText>(text(value));
                break;
            case Role::mobile:
                add(ContactField::mobile, RawKind::number);
                break;
            case Role::telephone:
                add(ContactField::telephone, RawKind::number);
                break;
            case Role::primaryTelephone:
                add(ContactField::telephone, RawKind::number, 1);
                break;
            case Role::email:
                add(ContactField::email, RawKind::email);
                break;
            case Role::emailValue:
                add(ContactField::email, RawKind::email, preference);
                break;
            case Role::qq:
                add(ContactField::qq, RawKind::text);
                break;
            case Role::fax:
                add(ContactField::fax, RawKind::number);
                break;
            case Role::phoneValue:
                if (const auto field = PhoneFieldOfType(partnerCell(c)))
                    add(*field, RawKind::number, preference);
                break;
            case Role::imValue:
                if (EqualsIgnoringCase(partnerCell(c), "QQ"))
                    add(ContactField::qq, RawKind::text);
                break;
            case Role::ignored:
                // Only a column that seems to hold numbers, and holds one here, loses data.
                if (LooksLikeContactData(m_headers[c]))
                    m_sink.Note({NoteKind::columnUnused, ContactField::name, line, 0, m_headers[c],
                                 DecodeIn(m_headerSet, value).value_or(std::string(value)), 0});
                break;
            case Role::phoneType:
            case Role::imService:
            case Role::emailType:
            case Role::unused:
                break;
            }
        }
        m_sink.Contact(std::move(contact));
    }

    CContactSink& m_sink;
    std::vector<std::string> m_headerSets;
    std::string m_headerSet = "UTF-8";
    CCsvSplitter m_splitter;
    bool m_haveHeader = false;
    bool m_hasName = false;
    int m_headerLine = 0;
    std::vector<Column> m_columns;
    std::vector<bool> m_namesContact; // a column whose value names a contact
    std::vector<std::string> m_headers;
    std::vector<std::optional<std::size_t>> m_partner;
};

CCsvSyntax::CCsvSyntax(CContactSink& sink, std::vector<std::string> headerSets)
    : m_impl(std::make_unique<CImpl>(sink, std::move(headerSets))) {}
CCsvSyntax::~CCsvSyntax() = default;
void CCsvSyntax::Feed(std::string_view bytes) {
    m_impl->Feed(bytes);
}
CStatus CCsvSyntax::Finish() {
    return m_impl->Finish();
}
std::size_t CCsvSyntax::BufferBytes() const {
    return m_impl->BufferBytes();
}

CCsvReader::Records CCsvReader::Split(std::string_view text) {
    Records result;
    CCsvSplitter splitter(
        [&](std::vector<std::string>& fields, int line) {
            if (!IsBlank(fields))
                result.records.push_back({fields, line});
        },
        [&](NoteKind kind, int line) {
            if (kind == NoteKind::unclosedQuote && result.status.IsOk())
                result.status =
                    CStatus(StatusKind::malformed, {}, std::string(kUnclosedQuote)).WithLine(line);
        });
    splitter.Feed(text);
    splitter.Finish();
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
    ReadOptions options;
    options.format = ContactFormat::csv;
    options.inputEncoding = std::string(inputEncoding);
    options.userCodePage = "GB18030";
    return ReadContactBytes(bytes, options);
}

} // namespace orvalen
