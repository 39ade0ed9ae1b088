#include "VCardReader.h"

#include "ContactSyntax.h"
#include "TextInput.h"
#include "TextUtil.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace orvalen {
namespace {

struct Property {
    std::string name; // upper case, without its group
    std::vector<std::string> types;
    std::string encoding;
    std::string charset;
    std::string serviceType;
    std::string value; // raw, still encoded and escaped
    int line = 0;
    int preference = 0; // 4.0's PREF=n; 2.1's and 3.0's PREF type gives 1

    bool HasType(std::string_view type) const {
        return std::find(types.begin(), types.end(), type) != types.end();
    }
};

// Splits at separator wherever it is outside double quotes; the quotes stay.
std::vector<std::string_view> SplitOutsideQuotes(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(text.substr(start));
    return parts;
}

std::string Unquote(std::string_view text) {
    text = Trim(text);
    std::string result;
    for (char c : text) {
        if (c != '"')
            result += c;
    }
    return result;
}

void AddParameter(Property& property, std::string_view parameter) {
    const auto equals = parameter.find('=');
    if (equals == std::string_view::npos) {
        // vCard 2.1 names types and encodings bare: TEL;CELL;VOICE, N;QUOTED-PRINTABLE.
        const std::string token = ToUpper(Trim(parameter));
        if (token == "QUOTED-PRINTABLE" || token == "BASE64" || token == "8BIT" || token == "7BIT")
            property.encoding = token;
        else if (!token.empty())
            property.types.push_back(token);
        return;
    }
    const std::string key = ToUpper(Trim(parameter.substr(0, equals)));
    const auto values = SplitOutsideQuotes(parameter.substr(equals + 1), ',');
    if (key == "TYPE") {
        // 4.0 quotes its type lists: TYPE="cell,voice".
        for (std::string_view value : values) {
            const std::string unquoted = Unquote(value);
            for (std::string_view type : SplitOutsideQuotes(unquoted, ','))
                property.types.push_back(ToUpper(Trim(type)));
        }
    } else if (key == "ENCODING") {
        property.encoding = ToUpper(Unquote(values.front()));
    } else if (key == "CHARSET") {
        property.charset = Unquote(values.front());
    } else if (key == "X-SERVICE-TYPE") {
        property.serviceType = ToUpper(Unquote(values.front()));
    } else if (key == "PREF") {
        const std::string digits = Unquote(values.front());
        int preference = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), preference);
        if (error == std::errc() && end == digits.data() + digits.size() && preference > 0)
            property.preference = preference;
    }
}

// [group.]NAME *(;parameter) : value. Nothing for a line that is not a property.
std::optional<Property> ParseProperty(std::string_view line, int number) {
    const auto nameEnd = line.find_first_of(";:");
    if (nameEnd == std::string_view::npos)
        return std::nullopt;
    Property property;
    property.line = number;
    std::string_view name = Trim(line.substr(0, nameEnd));
    if (const auto dot = name.rfind('.'); dot != std::string_view::npos)
        name.remove_prefix(dot + 1);
    property.name = ToUpper(name);

    std::size_t position = nameEnd;
    while (line[position] == ';') {
        bool quoted = false;
        std::size_t end = position + 1;
        for (; end < line.size(); ++end) {
            if (line[end] == '"')
                quoted = !quoted;
            else if (!quoted && (line[end] == ';' || line[end] == ':'))
                break;
        }
        if (end >= line.size())
            return std::nullopt;
        AddParameter(property, line.substr(position + 1, end - position - 1));
        position = end;
    }
    property.value = std::string(line.substr(position + 1));
    return property;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string DecodeQuotedPrintable(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size()) {
            const int high = HexDigit(text[i + 1]);
            const int low = HexDigit(text[i + 2]);
            if (high >= 0 && low >= 0) {
                bytes += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        // A stray '=' (a soft break the exporter left at the very end) carries no text.
        if (text[i] == '=' && i + 1 == text.size())
            break;
        bytes += text[i];
    }
    return bytes;
}

// Splits a structured value at separators that are not escaped; the escapes stay.
std::vector<std::string_view> SplitUnescaped(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size())
            ++i;
        else if (text[i] == separator) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(text.substr(start));
    return parts;
}

// \\ \, \; \: and \n; any other backslash is kept, as 2.1 exporters write bare ones.
std::string Unescape(std::string_view text) { // NOLINT
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == '\\' || next == ',' || next == ';' || next == ':') {
                result += next;
                ++i;
                continue;
            }
            if (next == 'n' || next == 'N') {
                result += '\n';
                ++i;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

// The properties a contact is made of; every other one (PHOTO, LOGO, SOUND, KEY, notes,
// addresses...) is skipped as it streams, however long.
bool IsUsed(std::string_view name) {
    for (std::string_view used : {"BEGIN", "END", "VERSION", "FN", "N", "ORG", "NICKNAME", "TEL",
                                  "EMAIL", "X-QQ", "IMPP", "X-ANDROID-CUSTOM"}) {
        if (EqualsIgnoringCase(name, used))
            return true;
    }
    return false;
}

// The property name at the start of a line, its group removed.
std::string_view PropertyName(std::string_view line) {
    std::string_view name = Trim(line.substr(0, line.find_first_of(";:")));
    if (const auto dot = name.rfind('.'); dot != std::string_view::npos)
        name.remove_prefix(dot + 1);
    return name;
}

bool IsBinary(const Property& property) {
    return property.encoding == "B" || property.encoding == "BASE64";
}

struct CardBuilder {
    RawContact contact;
    bool modern = false; // 3.0 or 4.0: unfolding drops the folding blank
    bool kept = true;    // false: the card is only counted, its values not kept
};

// A card only counted needs only to know whether it has a name source.
bool NamesAContact(std::string_view name) {
    for (std::string_view naming : {"FN", "N", "ORG", "NICKNAME", "EMAIL", "X-ANDROID-CUSTOM"}) {
        if (EqualsIgnoringCase(name, naming))
            return true;
    }
    return false;
}

// Pager and modem numbers do not dial a person; nothing here is the telephone for them.
std::optional<ContactField> TelField(const Property& property) {
    if (property.HasType("PAGER") || property.HasType("MODEM"))
        return std::nullopt;
    if (property.HasType("FAX"))
        return ContactField::fax;
    for (std::string_view mobile : {"CELL", "MOBILE", "IPHONE", "手机", "移动电话"}) {
        if (property.HasType(mobile))
            return ContactField::mobile;
    }
    return ContactField::telephone;
}

} // namespace

std::string UnescapeVCard(std::string_view text) {
    return Unescape(text);
}

std::array<std::string, 3> VCardNameParts(std::string_view structured) {
    const auto parts = SplitUnescaped(structured, ';');
    std::array<std::string, 3> names;
    for (std::size_t i = 0; i < names.size() && i < parts.size(); ++i) {
        // A component may list several values: "Philip,Paul".
        for (std::string_view value : SplitUnescaped(parts[i], ',')) {
            const std::string text(Trim(Unescape(value)));
            if (text.empty())
                continue;
            if (!names[i].empty())
                names[i] += ' ';
            names[i] += text;
        }
    }
    return names;
}

std::vector<std::string> VCardComponents(std::string_view text, char separator) {
    std::vector<std::string> components;
    for (std::string_view part : SplitUnescaped(text, separator))
        components.push_back(Unescape(part));
    return components;
}

constexpr std::size_t kMaxNesting = 8;

class CVCardSyntax::CImpl {
public:
    explicit CImpl(CContactSink& sink) : m_sink(sink) {}

    void Feed(std::string_view bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const char c = bytes[i];
            if (m_cr == 0 && c != '\r' && c != '\n') {
                // The run up to the line's end, appended at once.
                std::size_t end = i;
                while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
                    ++end;
                const std::size_t room =
                    kMaxLogicalLine - std::min(kMaxLogicalLine, m_physical.size());
                m_physical.append(bytes.substr(i, std::min(room, end - i)));
                m_physicalOverflow = m_physicalOverflow || end - i > room;
                i = end - 1;
                continue;
            }
            if (m_cr > 0) {
                if (c == '\n') {
                    m_cr = 0;
                    continue;
                }
                if (c == '\r' && m_cr == 1) {
                    m_cr = 2; // CR CR LF, what iOS 6 wrote, ends one line
                    continue;
                }
                if (m_cr == 2)
                    EndPhysicalLine(); // the second CR ended an empty line
                m_cr = 0;
            }
            if (c == '\r' || c == '\n') {
                EndPhysicalLine();
                m_cr = c == '\r' ? 1 : 0;
                continue;
            }
            if (m_physical.size() < kMaxLogicalLine)
                m_physical += c;
            else
                m_physicalOverflow = true;
        }
    }

    CStatus Finish() {
        if (m_cr == 2)
            EndPhysicalLine();
        m_cr = 0;
        if (!m_physical.empty() || m_physicalOverflow)
            EndPhysicalLine();
        FlushPending();
        if (m_qp)
            HandleQuotedPrintable();
        // Cards still open at the end: each is read as far as it goes, the innermost first.
        while (!m_cards.empty()) {
            Note(NoteKind::missingEnd, m_cards.back().contact.line);
            FinishCard();
        }
        if (m_cardCount == 0)
            return CStatus(StatusKind::malformed, {}, "no BEGIN:VCARD");
        return {};
    }

    std::size_t BufferBytes() const {
        std::size_t bytes = m_physical.capacity() + m_pending.capacity();
        if (m_qp)
            bytes += m_qp->value.capacity();
        for (const CardBuilder& card : m_cards)
            bytes += card.contact.Bytes();
        return bytes;
    }

private:
    static bool IsEndLine(std::string_view text) {
        return EqualsIgnoringCase(Trim(text), "END:VCARD");
    }
    static bool IsContinuation(std::string_view text) {
        return !text.empty() && (text.front() == ' ' || text.front() == '\t');
    }

    void EndPhysicalLine() {
        const int number = ++m_lineNumber;
        if (m_physicalOverflow) {
            Note(NoteKind::lineTooLong, number);
            m_physicalOverflow = false;
        }
        OnLine(m_physical, number);
        m_physical.clear();
        if (m_physical.capacity() > (64u << 10))
            m_physical.shrink_to_fit();
    }

    void Append(std::string& to, std::string_view text, int line) {
        const std::size_t room = kMaxLogicalLine - std::min(kMaxLogicalLine, to.size());
        if (text.size() > room) {
            if (!m_pendingOverflow)
                Note(NoteKind::lineTooLong, line);
            m_pendingOverflow = true;
            text = text.substr(0, room);
        }
        to += text;
    }

    void OnLine(std::string_view text, int number) {
        if (m_qp) {
            // A soft line break: '=' at the end, the text goes on at the start of the next line.
            if (!IsEndLine(text)) {
                m_qp->value.pop_back();
                Append(m_qp->value, text, m_qp->line);
                if (!m_qp->value.ends_with('='))
                    HandleQuotedPrintable();
                return;
            }
            HandleQuotedPrintable();
        }
        if (m_hasPending && IsContinuation(text)) {
            // 2.1 folds at a blank and keeps it; 3.0 and 4.0 insert one and drop it again.
            if (!m_skipping) {
                const bool modern = !m_cards.empty() && m_cards.back().modern;
                Append(m_pending, modern ? text.substr(1) : text, m_pendingLine);
            }
            return;
        }
        FlushPending();
        if (m_qp) {
            OnLine(text, number);
            return;
        }
        // Blank lines end 2.1's base64 blocks; '#' lines are comments some exporters write;
        // a lone folded line belongs to a line that was skipped.
        if (Trim(text).empty() || text.front() == '#' || IsContinuation(text))
            return;
        m_hasPending = true;
        m_pendingLine = number;
        m_pendingOverflow = false;
        const std::string_view name = PropertyName(text);
        m_skipping = !IsUsed(name);
        if (!m_skipping && !m_cards.empty() && !m_cards.back().kept &&
            !EqualsIgnoringCase(name, "BEGIN") && !EqualsIgnoringCase(name, "END")) {
            // A card only counted: a name source marks it, nothing else is parsed.
            if (NamesAContact(name)) {
                const auto colon = text.find(':');
                m_cards.back().contact.named =
                    m_cards.back().contact.named ||
                    (colon != std::string_view::npos && !Trim(text.substr(colon + 1)).empty());
            }
            m_skipping = true;
        }
        if (!m_skipping)
            m_pending.assign(text);
    }

    void FlushPending() {
        if (!m_hasPending)
            return;
        m_hasPending = false;
        if (m_skipping)
            return;
        auto property = ParseProperty(m_pending, m_pendingLine);
        m_pending.clear();
        if (m_pending.capacity() > (64u << 10))
            m_pending.shrink_to_fit();
        if (!property)
            return;
        if (property->encoding == "QUOTED-PRINTABLE" && property->value.ends_with('=')) {
            m_qp = std::move(*property);
            return;
        }
        Handle(*property);
    }

    void HandleQuotedPrintable() {
        Property property = std::move(*m_qp);
        m_qp.reset();
        Handle(property);
    }

    void Handle(const Property& property) {
        const bool isCardMark = EqualsIgnoringCase(Trim(property.value), "VCARD");
        if (property.name == "BEGIN" && isCardMark) {
            // A card inside a card (2.1's AGENT, Android's nesting) is a card of its own; the
            // outer one goes on after it. Real nesting is shallow: deeper, a card is taken to
            // lack its END, so that BEGIN lines alone cannot pile up open cards.
            if (m_cards.size() >= kMaxNesting) {
                Note(NoteKind::missingEnd, m_cards.back().contact.line);
                FinishCard();
            }
            m_cards.emplace_back();
            m_cards.back().kept = m_sink.Wanted();
            m_cards.back().contact.card = ++m_cardCount;
            m_cards.back().contact.line = property.line;
            return;
        }
        if (property.name == "END" && isCardMark) {
            if (!m_cards.empty())
                FinishCard();
            return;
        }
        if (m_cards.empty() || IsBinary(property))
            return;
        CardBuilder& card = m_cards.back();
        RawContact& contact = card.contact;

        if (property.name == "VERSION") {
            card.modern = Trim(property.value) != "2.1";
        } else if (property.name == "FN") {
            if (!contact.fullName || Trim(contact.fullName->bytes).empty())
                contact.fullName = std::make_unique<RawText>(Text(property));
        } else if (property.name == "N") {
            if (!contact.structuredName)
                contact.structuredName = std::make_unique<RawText>(Text(property));
        } else if (property.name == "ORG") {
            if (!contact.organization)
                contact.organization = std::make_unique<RawText>(Text(property, ';'));
        } else if (property.name == "NICKNAME") {
            if (!contact.nickname)
                contact.nickname = std::make_unique<RawText>(Text(property, ','));
        } else if (property.name == "X-ANDROID-CUSTOM") {
            // vnd.android.cursor.item/nickname;Nick;1;...: the nickname is the second part.
            const std::string_view value = Trim(property.value);
            if (!contact.nickname && EqualsIgnoringCase(value.substr(0, value.find(';')),
                                                        "vnd.android.cursor.item/nickname"))
                contact.nickname = std::make_unique<RawText>(Text(property, ';', 1));
        } else if (property.name == "TEL") {
            if (const auto field = TelField(property))
                contact.Add(*field, RawKind::number, Text(property));
        } else if (property.name == "EMAIL") {
            contact.Add(ContactField::email, RawKind::email, Text(property));
        } else if (property.name == "X-QQ") {
            contact.Add(ContactField::qq, RawKind::text, Text(property));
        } else if (property.name == "IMPP") {
            const bool isQq = property.serviceType == "QQ" || property.HasType("QQ") ||
                              EqualsIgnoringCase(Trim(property.value).substr(0, 3), "qq:");
            if (isQq)
                contact.Add(ContactField::qq, RawKind::qqUri, Text(property));
        }
    }

    // The value's bytes, transfer encoding undone, still in its character set and escaped.
    RawText Text(const Property& property, char separator = 0, int skip = 0) {
        std::string bytes = property.encoding == "QUOTED-PRINTABLE"
                                ? DecodeQuotedPrintable(property.value)
                                : property.value;
        RawText text = MakeRawText(bytes, property.line);
        text.label = property.charset;
        text.escaped = true;
        text.separator = separator;
        text.skip = skip;
        text.preference = property.preference;
        if (text.preference == 0 && property.HasType("PREF"))
            text.preference = 1;
        return text;
    }

    void FinishCard() {
        CardBuilder card = std::move(m_cards.back());
        m_cards.pop_back();
        m_sink.Contact(std::move(card.contact));
    }

    void Note(NoteKind kind, int line) {
        InterchangeNote note;
        note.kind = kind;
        note.line = line;
        note.card = m_cards.empty() ? 0 : m_cards.back().contact.card;
        m_sink.Note(std::move(note));
    }

    CContactSink& m_sink;
    std::string m_physical;
    bool m_physicalOverflow = false;
    int m_cr = 0; // CRs seen at the end of the last line: 1, or 2 for a possible CR CR LF
    int m_lineNumber = 0;
    std::string m_pending; // the logical line being unfolded
    bool m_hasPending = false;
    bool m_pendingOverflow = false;
    bool m_skipping = false; // the pending property is not used: its text is not kept
    int m_pendingLine = 0;
    std::optional<Property> m_qp;     // a quoted-printable value going on past a soft break
    std::vector<CardBuilder> m_cards; // the open cards, the innermost last
    int m_cardCount = 0;
};

CVCardSyntax::CVCardSyntax(CContactSink& sink) : m_impl(std::make_unique<CImpl>(sink)) {}
CVCardSyntax::~CVCardSyntax() = default;
void CVCardSyntax::Feed(std::string_view bytes) {
    m_impl->Feed(bytes);
}
CStatus CVCardSyntax::Finish() {
    return m_impl->Finish();
}
std::size_t CVCardSyntax::BufferBytes() const {
    return m_impl->BufferBytes();
}

InterchangeRead CVCardReader::Read(std::string_view bytes, std::string_view inputEncoding) {
    ReadOptions options;
    options.format = ContactFormat::vcard;
    options.inputEncoding = std::string(inputEncoding);
    options.userCodePage = "GB18030";
    return ReadContactBytes(bytes, options);
}

} // namespace orvalen
