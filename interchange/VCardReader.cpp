#include "VCardReader.h"

#include "CodePage.h"
#include "TextInput.h"
#include "TextUtil.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace orvalen {
namespace {

struct PhysicalLine {
    std::string_view text;
    int number = 0;
};

// The file's lines one at a time, so that memory does not grow with their number. A line ends
// at CR LF, LF, CR, or CR CR LF (what iOS 6 wrote).
class CLineCursor {
public:
    explicit CLineCursor(std::string_view text) : m_text(text) {}

    bool AtEnd() const { return m_position >= m_text.size(); }
    PhysicalLine Peek() const { return Scan().first; }
    PhysicalLine Next() {
        const auto [line, next] = Scan();
        m_position = next;
        ++m_number;
        return line;
    }

private:
    std::pair<PhysicalLine, std::size_t> Scan() const {
        std::size_t end = m_position;
        while (end < m_text.size() && m_text[end] != '\r' && m_text[end] != '\n')
            ++end;
        const PhysicalLine line{m_text.substr(m_position, end - m_position), m_number};
        std::size_t next = end;
        if (next < m_text.size()) {
            if (m_text.substr(next, 3) == "\r\r\n")
                next += 3;
            else if (m_text.substr(next, 2) == "\r\n")
                next += 2;
            else
                next += 1;
        }
        return {line, next};
    }

    std::string_view m_text;
    std::size_t m_position = 0;
    int m_number = 1;
};

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

std::string DecodeBase64(std::string_view text) {
    std::string bytes;
    unsigned buffer = 0;
    int bits = 0;
    for (char c : text) {
        int value;
        if (c >= 'A' && c <= 'Z')
            value = c - 'A';
        else if (c >= 'a' && c <= 'z')
            value = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            value = c - '0' + 52;
        else if (c == '+')
            value = 62;
        else if (c == '/')
            value = 63;
        else if (c == '=')
            break;
        else
            continue;
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((buffer >> bits) & 0xFF);
        }
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
std::string Unescape(std::string_view text) {
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

// Every leading scheme goes: "tel:tel:5" would otherwise keep a "tel:" that the next reading
// takes off, and a contact would change by being written and read again.
std::string StripScheme(std::string_view value, std::string_view scheme) {
    value = Trim(value);
    while (value.size() >= scheme.size() &&
           EqualsIgnoringCase(value.substr(0, scheme.size()), scheme))
        value = Trim(value.substr(scheme.size()));
    return std::string(value);
}

// The handle of an instant-messaging address: qq:12345 and x-apple:12345 both give 12345.
std::string StripAnyScheme(std::string_view value) {
    value = Trim(value);
    const auto colon = value.find(':');
    if (colon != std::string_view::npos && colon > 0 &&
        std::all_of(value.begin(), value.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
        })) {
        value.remove_prefix(colon + 1);
        if (value.starts_with("//")) // qq://12345, the URI form
            value.remove_prefix(2);
    }
    return std::string(Trim(value));
}

struct CardBuilder {
    int number = 0;
    int line = 0;
    bool modern = false; // 3.0 or 4.0: unfolding drops the folding blank
    std::optional<std::string> formattedName;
    std::optional<std::string> structuredName;
    std::optional<std::string> organization;
    std::optional<std::string> nickname;
    FoundValues found;

    void Add(ContactField field, std::string value, const Property& property) {
        if (value.empty())
            return;
        int preference = property.preference;
        if (preference == 0 && property.HasType("PREF"))
            preference = 1;
        found[FieldIndex(field)].push_back({std::move(value), property.line, preference});
    }
};

// The first component of a structured value that holds text: "Acme;Sales" gives "Acme".
std::string FirstComponent(std::string_view value, char separator) {
    for (std::string_view part : SplitUnescaped(value, separator)) {
        std::string text(Trim(Unescape(part)));
        if (!text.empty())
            return text;
    }
    return {};
}

constexpr std::size_t kMaxNesting = 8;

class CVCardParser {
public:
    CVCardParser(std::string_view text, std::string defaultCharset, bool defaultGuessed,
                 InterchangeRead& result)
        : m_lines(text), m_defaultCharset(std::move(defaultCharset)),
          m_defaultGuessed(defaultGuessed), m_result(result) {}

    void Run() {
        while (!m_lines.AtEnd())
            Step();
        // Cards still open at the end: each is read as far as it goes, the innermost first.
        while (!m_cards.empty()) {
            Note(NoteKind::missingEnd, m_cards.back().line, {});
            FinishCard();
        }
        // A card nested in another finishes first; the file's order is that of the BEGINs.
        std::stable_sort(m_result.contacts.begin(), m_result.contacts.end(),
                         [](const InterchangeContact& a, const InterchangeContact& b) {
                             return a.card < b.card;
                         });
        if (m_cardCount == 0)
            m_result.status = CStatus(StatusKind::malformed, {}, "no BEGIN:VCARD");
        else if (m_undecided)
            m_result.status = CStatus(StatusKind::encoding);
    }

private:
    static bool IsEndLine(std::string_view text) {
        return EqualsIgnoringCase(Trim(text), "END:VCARD");
    }
    static bool IsContinuation(std::string_view text) {
        return !text.empty() && (text.front() == ' ' || text.front() == '\t');
    }

    // Reads the property that starts at the next line.
    void Step() {
        const PhysicalLine first = m_lines.Next();
        std::string_view text = first.text;
        // Blank lines end 2.1's base64 blocks; '#' lines are comments some exporters write;
        // a lone folded line belongs to a line that was skipped.
        if (Trim(text).empty() || text.front() == '#' || IsContinuation(text))
            return;

        std::string logical(text);
        const bool modern = !m_cards.empty() && m_cards.back().modern;
        while (!m_lines.AtEnd() && IsContinuation(m_lines.Peek().text)) {
            // 2.1 folds at a blank and keeps it; 3.0 and 4.0 insert one and drop it again.
            const std::string_view next = m_lines.Next().text;
            logical += modern ? next.substr(1) : next;
        }

        auto property = ParseProperty(logical, first.number);
        if (!property)
            return;
        if (property->encoding == "QUOTED-PRINTABLE") {
            // A soft line break: '=' at the end, the text goes on at the start of the next line.
            while (property->value.ends_with('=') && !m_lines.AtEnd() &&
                   !IsEndLine(m_lines.Peek().text)) {
                property->value.pop_back();
                property->value += m_lines.Next().text;
            }
        }
        Handle(*property);
    }

    void Handle(const Property& property) {
        const bool isCardMark = EqualsIgnoringCase(Trim(property.value), "VCARD");
        if (property.name == "BEGIN" && isCardMark) {
            // A card inside a card (2.1's AGENT, Android's nesting) is a card of its own; the
            // outer one goes on after it. Real nesting is shallow: deeper, a card is taken to
            // lack its END, so that BEGIN lines alone cannot pile up open cards.
            if (m_cards.size() >= kMaxNesting) {
                Note(NoteKind::missingEnd, m_cards.back().line, {});
                FinishCard();
            }
            m_cards.emplace_back();
            m_cards.back().number = ++m_cardCount;
            m_cards.back().line = property.line;
            return;
        }
        if (property.name == "END" && isCardMark) {
            if (!m_cards.empty())
                FinishCard();
            return;
        }
        if (m_cards.empty())
            return;
        CardBuilder& card = m_cards.back();

        if (property.name == "VERSION") {
            card.modern = Trim(property.value) != "2.1";
        } else if (property.name == "FN") {
            if (!card.formattedName || Trim(*card.formattedName).empty())
                card.formattedName = Unescape(Decode(property));
        } else if (property.name == "N") {
            if (!card.structuredName)
                card.structuredName = Decode(property);
        } else if (property.name == "ORG") {
            if (!card.organization)
                card.organization = FirstComponent(Decode(property), ';');
        } else if (property.name == "NICKNAME") {
            if (!card.nickname)
                card.nickname = FirstComponent(Decode(property), ',');
        } else if (property.name == "TEL") {
            std::string number = StripScheme(Unescape(Decode(property)), "tel:");
            ContactField field = ContactField::telephone;
            if (property.HasType("FAX"))
                field = ContactField::fax;
            else if (property.HasType("CELL") || property.HasType("MOBILE") ||
                     property.HasType("IPHONE"))
                field = ContactField::mobile;
            card.Add(field, std::move(number), property);
        } else if (property.name == "EMAIL") {
            card.Add(ContactField::email, StripScheme(Unescape(Decode(property)), "mailto:"),
                     property);
        } else if (property.name == "X-QQ") {
            card.Add(ContactField::qq, std::string(Trim(Unescape(Decode(property)))), property);
        } else if (property.name == "IMPP") {
            const std::string value = Unescape(Decode(property));
            const bool isQq = property.serviceType == "QQ" || property.HasType("QQ") ||
                              EqualsIgnoringCase(Trim(value).substr(0, 3), "qq:");
            if (isQq)
                card.Add(ContactField::qq, StripAnyScheme(value), property);
        }
    }

    // The value's text in UTF-8, transfer encoding and character set undone, its line breaks
    // LF whatever a quoted-printable value held (=0D=0A, =0D), as an escaped "\n" gives.
    std::string Decode(const Property& property) {
        const std::string text = DecodeCharset(property);
        std::string unified;
        unified.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\r') {
                unified += text[i];
                continue;
            }
            unified += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        }
        return unified;
    }

    std::string DecodeCharset(const Property& property) {
        std::string bytes = property.value;
        if (property.encoding == "QUOTED-PRINTABLE")
            bytes = DecodeQuotedPrintable(bytes);
        else if (property.encoding == "B" || property.encoding == "BASE64")
            bytes = DecodeBase64(bytes);

        // Values that name their character set need no guess; a file whose set could not be
        // told is refused only when a value without one is not plain UTF-8.
        if (property.charset.empty() && m_defaultCharset.empty()) {
            if (IsValidUtf8(bytes))
                return bytes;
            m_undecided = true;
            return {};
        }
        // The file's character set matters, and a guess is worth a note, only where a value
        // without CHARSET holds more than ASCII.
        if (property.charset.empty() && !std::all_of(bytes.begin(), bytes.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x80;
            }))
            m_usedFileCharset = true;
        std::string charset = property.charset.empty() ? m_defaultCharset : property.charset;
        CCodePage codePage(charset);
        if (!IsUtf8Name(charset) && !codePage.IsAvailable()) {
            Note(NoteKind::unknownCharset, property.line, charset);
            codePage = CCodePage(m_defaultCharset.empty() ? "UTF-8" : m_defaultCharset);
        }
        if (auto text = codePage.ToUtf8(bytes))
            return std::move(*text);
        // Old Chinese phones quote GBK bytes without naming a charset, in files that are
        // otherwise ASCII and so look like UTF-8.
        if (property.charset.empty() && m_defaultGuessed) {
            if (auto text = CCodePage("GB18030").ToUtf8(bytes))
                return std::move(*text);
        }
        std::string text = codePage.ToUtf8Lossy(bytes);
        Note(NoteKind::invalidBytes, property.line, text, property.name);
        return text;
    }

    std::string NameFromParts(std::string_view structured) const {
        const auto parts = SplitUnescaped(structured, ';');
        auto part = [&](std::size_t i) {
            if (i >= parts.size())
                return std::string();
            // A component may list several values: "Philip,Paul".
            std::string joined;
            for (std::string_view value : SplitUnescaped(parts[i], ',')) {
                const std::string text(Trim(Unescape(value)));
                if (text.empty())
                    continue;
                if (!joined.empty())
                    joined += ' ';
                joined += text;
            }
            return joined;
        };
        return JoinPersonName(part(0), part(1), part(2));
    }

    void FinishCard() {
        CardBuilder card = std::move(m_cards.back());
        m_cards.pop_back();
        // As phones name a contact: the formatted name, else the name's parts, else the
        // company, else the nickname.
        std::string name;
        if (card.formattedName)
            name = std::string(Trim(*card.formattedName));
        if (name.empty() && card.structuredName)
            name = NameFromParts(*card.structuredName);
        if (name.empty() && card.organization)
            name = *card.organization;
        if (name.empty() && card.nickname)
            name = *card.nickname;
        if (name.empty()) {
            Note(NoteKind::noName, card.line, {}, {}, card.number);
            return;
        }

        InterchangeContact contact;
        contact.line = card.line;
        contact.card = card.number;
        contact[ContactField::name] = name;
        PlaceFoundValues(contact, std::move(card.found));
        m_result.contacts.push_back(std::move(contact));
    }

    void Note(NoteKind kind, int line, std::string value, std::string contact = {},
              int cardNumber = 0) {
        InterchangeNote note;
        note.kind = kind;
        note.line = line;
        note.card = cardNumber != 0 ? cardNumber : (m_cards.empty() ? 0 : m_cards.back().number);
        note.value = std::move(value);
        note.contact = std::move(contact);
        m_result.notes.Add(std::move(note));
    }

    CLineCursor m_lines;
    std::string m_defaultCharset;
    bool m_defaultGuessed; // no name and no byte order mark said what the file is in
    InterchangeRead& m_result;
    std::vector<CardBuilder> m_cards; // the open cards, the innermost last
    bool m_undecided = false;         // a value needed the file's character set, unknown
    bool m_usedFileCharset = false;   // a value was read in the file's character set

public:
    bool UsedFileCharset() const { return m_usedFileCharset; }
    int m_cardCount = 0;
};

bool IsAsciiCompatible(std::string_view encoding) {
    const std::string name = ToUpper(encoding);
    return !(name.starts_with("UTF-16") || name.starts_with("UTF-32") ||
             name.starts_with("UCS-2") || name.starts_with("UCS-4") || name == "UNICODE");
}

} // namespace

InterchangeRead CVCardReader::Read(std::string_view bytes, std::string_view inputEncoding) {
    InterchangeRead result;
    result.encoding = DetectEncoding(bytes, inputEncoding);
    result.guessed = IsGuessed(bytes, inputEncoding);
    if (!IsAsciiCompatible(result.encoding)) {
        // Lines and separators are only found in text whose ASCII bytes mean ASCII.
        auto decoded = DecodeText(bytes, inputEncoding);
        if (!decoded) {
            result.status = CStatus(StatusKind::encoding, {}, result.encoding);
            return result;
        }
        CVCardParser(decoded->utf8, "UTF-8", false, result).Run();
        return result;
    }
    const bool guessed = inputEncoding.empty() && ByteOrderMarkLength(bytes) == 0;
    bytes.remove_prefix(ByteOrderMarkLength(bytes));
    CVCardParser parser(bytes, result.encoding, guessed, result);
    parser.Run();
    result.guessed = result.guessed && parser.UsedFileCharset();
    return result;
}

} // namespace orvalen
