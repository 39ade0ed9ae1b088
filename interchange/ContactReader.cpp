#include "ContactReader.h"

#include "ByteSource.h"
#include "CharsetDetector.h"
#include "CodePage.h"
#include "ContactSyntax.h"
#include "CsvWriter.h"
#include "PhoneNumber.h"
#include "TextInput.h"
#include "TextUtil.h"
#include "VCardWriter.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <istream>
#include <vector>

namespace orvalen {

RawText MakeRawText(std::string_view bytes, int line) {
    RawText text;
    text.size = bytes.size();
    // Raw bytes have room for escapes and for sets of one byte a character; the decoded text
    // is cut by the same rule again (CutLongText), so that what is written reads back alike.
    text.bytes =
        std::string(bytes.size() > kLongRawValue ? bytes.substr(0, kLongValueKept) : bytes);
    text.line = line;
    return text;
}

void RawContact::Add(ContactField field, RawKind kind, RawText text) {
    const std::size_t index = FieldIndex(field);
    const auto kept = static_cast<std::size_t>(std::count_if(
        values.begin(), values.end(), [&](const RawValue& v) { return v.field == field; }));
    if (kept >= kMaxValuesPerField) {
        ++leftOut[index];
        return;
    }
    values.push_back({field, kind, std::move(text)});
}

std::size_t RawContact::Bytes() const {
    std::size_t bytes = sizeof(RawContact) + values.capacity() * sizeof(RawValue);
    for (const auto* text :
         {&fullName, &structuredName, &family, &given, &middle, &organization, &nickname}) {
        if (*text)
            bytes += sizeof(RawText) + (*text)->bytes.capacity() + (*text)->label.capacity();
    }
    for (const RawValue& value : values)
        bytes += value.text.bytes.capacity() + value.text.label.capacity();
    return bytes;
}

namespace {

constexpr std::size_t kChunk = 64u << 10;

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::optional<std::string> DecodeIn(std::string_view set, std::string_view bytes) {
    if (IsUtf8Name(set))
        return IsValidUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    return CCodePage(std::string(set)).ToUtf8(bytes);
}

// A value in set; of a value kept only in part, the cut may split its last character.
std::optional<std::string> DecodeRaw(const RawText& text, std::string_view set) {
    std::string_view bytes = text.bytes;
    for (int tries = text.IsCut() ? 4 : 1; tries > 0 && !bytes.empty(); --tries) {
        if (auto decoded = DecodeIn(set, bytes))
            return decoded;
        bytes.remove_suffix(1);
    }
    return std::nullopt;
}

bool IsDoubleByte(std::string_view set) {
    for (std::string_view name : {"GB18030", "CP932", "BIG5-HKSCS", "CP950", "CP949", "EUC-JP",
                                  "SHIFT_JIS", "GBK", "CP936", "EUC-KR", "BIG5"}) {
        if (EqualsIgnoringCase(set, name))
            return true;
    }
    return false;
}

// Removes the characters of the private-use area U+E000..U+F8FF; true when there were any.
bool RemovePrivateUse(std::string& utf8) {
    std::string kept;
    bool removed = false;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = std::max<std::size_t>(Utf8CharLength(utf8.substr(i)), 1);
        const auto lead = static_cast<unsigned char>(utf8[i]);
        // U+E000..U+F8FF are EE 80 80 .. EF A3 BF in UTF-8.
        const bool privateUse =
            length == 3 &&
            (lead == 0xEE || (lead == 0xEF && static_cast<unsigned char>(utf8[i + 1]) <= 0xA3));
        if (privateUse)
            removed = true;
        else
            kept.append(utf8, i, length);
        i += length;
    }
    if (removed)
        utf8 = std::move(kept);
    return removed;
}

// A text longer than kLongValue bytes: its first kLongValueKept bytes, whole characters, without
// the blanks the cut leaves at its end.
std::string CutLongText(std::string text) {
    if (text.size() <= kLongValue)
        return text;
    std::size_t take = 0;
    while (take < text.size()) {
        const std::size_t length =
            std::max<std::size_t>(Utf8CharLength(std::string_view(text).substr(take)), 1);
        if (take + length > kLongValueKept)
            break;
        take += length;
    }
    text.resize(take);
    // A cut that ends on a blank would not read back: values are read without their blanks.
    return std::string(Trim(text));
}

bool IsAvailableSet(const std::string& set) {
    return IsUtf8Name(set) || CCodePage(set).IsAvailable();
}

// Every leading scheme goes: "mailto:mailto:a" would otherwise keep a scheme that the next
// reading takes off, and a contact would change by being written and read again.
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

// The contacts a read keeps, the count of all, and the evidence for the file's character set.
class CCollector final : public CContactSink {
public:
    CCollector(const ReadOptions& options, InterchangeRead& result, bool needEvidence)
        : m_first(std::max<std::size_t>(options.first, 1)),
          m_count(std::min(options.count, kMaxKeptContacts)), m_result(result),
          m_needEvidence(needEvidence) {}

    void Contact(RawContact contact) override {
        if (!contact.HasNameSource()) {
            m_result.notes.Add(
                {NoteKind::noName, ContactField::name, contact.line, contact.card, {}, {}, 0});
            return;
        }
        const std::size_t ordinal = ++m_result.total;
        if (ordinal < m_first || ordinal - m_first >= m_count)
            return;
        if (m_needEvidence)
            Evidence(contact);
        m_bytes += contact.Bytes();
        m_kept.push_back(std::move(contact));
    }
    void Note(InterchangeNote note) override { m_result.notes.Add(std::move(note)); }
    bool Wanted() const override {
        const std::size_t next = m_result.total + 1;
        return next >= m_first && next - m_first < m_count;
    }

    std::deque<RawContact>& Kept() { return m_kept; }
    std::size_t Bytes() const { return m_bytes; }
    bool AllUtf8() const { return m_allUtf8; }
    bool OddRuns() const { return m_oddRuns; }
    CCharsetDetector& Detector() { return m_detector; }

private:
    void Evidence(const RawContact& contact) {
        auto feed = [&](const RawText* text) {
            if (!text || !text->label.empty() || IsAscii(text->bytes))
                return;
            if (m_allUtf8 && !DecodeRaw(*text, "UTF-8"))
                m_allUtf8 = false;
            // Double-byte text has its high bytes in pairs, or a high byte before an ASCII
            // second byte that is no letter (Shift_JIS 表 is 95 5C); Latin-1's letters stand
            // alone among ASCII letters ("M\xFCller").
            std::size_t run = 0;
            for (char c : text->bytes + ' ') {
                const auto byte = static_cast<unsigned char>(c);
                if (byte >= 0x80) {
                    ++run;
                    continue;
                }
                const bool trail =
                    run % 2 == 1 && byte >= 0x40 && byte <= 0x7E && !std::isalpha(byte);
                m_oddRuns = m_oddRuns || (run % 2 == 1 && !trail);
                run = 0;
            }
            m_detector.Feed(text->bytes);
            m_detector.Feed("\n");
        };
        for (const auto* text :
             {&contact.fullName, &contact.structuredName, &contact.family, &contact.given,
              &contact.middle, &contact.organization, &contact.nickname})
            feed(text->get());
        for (const RawValue& value : contact.values)
            feed(&value.text);
    }

    std::size_t m_first;
    std::size_t m_count;
    InterchangeRead& m_result;
    bool m_needEvidence;
    std::deque<RawContact> m_kept; // no doubling of a vector's capacity

    std::size_t m_bytes = 0;
    bool m_allUtf8 = true;
    bool m_oddRuns = false; // a run of high bytes of odd length: not double-byte text
    CCharsetDetector m_detector;
};

// UTF-16 and UTF-32 files (known by their mark) made UTF-8 chunk by chunk, so that the
// syntax readers see ASCII-compatible bytes. A unit split between chunks waits for the next.
class CUnicodeTranscoder {
public:
    explicit CUnicodeTranscoder(std::string_view encoding)
        : m_codePage(std::string(encoding)), m_unit(encoding.starts_with("UTF-32") ? 4 : 2),
          m_bigEndian(encoding.ends_with("BE")) {}

    // Nothing when the bytes are not valid in the encoding.
    std::optional<std::string> Convert(std::string_view bytes, bool last) {
        m_carry.append(bytes);
        std::size_t take = m_carry.size() - m_carry.size() % m_unit;
        if (!last && m_unit == 2 && take >= 2) {
            // A high surrogate waits for its partner.
            const auto high = static_cast<unsigned char>(m_carry[take - (m_bigEndian ? 2 : 1)]);
            if (high >= 0xD8 && high <= 0xDB)
                take -= 2;
        }
        if (last && take != m_carry.size())
            return std::nullopt;
        auto text = m_codePage.ToUtf8(std::string_view(m_carry).substr(0, take));
        m_carry.erase(0, take);
        return text;
    }

private:
    CCodePage m_codePage;
    std::size_t m_unit;
    bool m_bigEndian;
    std::string m_carry;
};

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// One read: bytes in, contacts out.
class CReadRun {
public:
    CReadRun(const ReadOptions& options, ContactFormat format)
        : m_options(options), m_format(format) {}

    // Feeds bytes; false once the read is over (a fault in the input's encoding).
    bool Feed(std::string_view bytes) {
        m_result.size += bytes.size();
        if (!m_started) {
            m_start.append(bytes);
            // A mark is at most 4 bytes; the format needs a look at the start.
            if (m_start.size() < 4096)
                return true;
            return Start(false);
        }
        return Pass(bytes, false);
    }

    InterchangeRead Finish(CStatus status) {
        if (status.IsOk() && !m_started)
            Start(true);
        else if (status.IsOk() && m_started)
            Pass({}, true);
        if (!status.IsOk())
            m_result.status = std::move(status);
        if (m_result.status.IsOk() && m_vcard)
            m_result.status = m_vcard->Finish();
        else if (m_result.status.IsOk() && m_csv)
            m_result.status = m_csv->Finish();
        Measure();
        if (m_result.status.IsOk())
            Map();
        return std::move(m_result);
    }

    void Measure() {
        const std::size_t buffers = m_start.capacity() + (m_vcard ? m_vcard->BufferBytes() : 0) +
                                    (m_csv ? m_csv->BufferBytes() : 0) + kChunk;
        m_result.peakBytes =
            std::max(m_result.peakBytes, buffers + (m_collector ? m_collector->Bytes() : 0));
    }

private:
    bool Start(bool last) {
        m_started = true;
        std::string_view bytes = m_start;
        const std::string_view mark = ByteOrderMarkEncoding(bytes);
        if (!mark.empty()) {
            bytes.remove_prefix(ByteOrderMarkLength(bytes));
            m_markSet = std::string(mark);
            if (!IsUtf8Name(mark))
                m_transcoder.emplace(mark);
        }
        std::string firstText;
        if (m_transcoder) {
            auto text = m_transcoder->Convert(bytes, last);
            if (!text)
                return Refuse(m_markSet);
            firstText = std::move(*text);
        } else {
            firstText = std::string(bytes);
        }
        if (m_format == ContactFormat::guess)
            m_format = Lower(firstText.substr(0, 4096)).find("begin:vcard") != std::string::npos
                           ? ContactFormat::vcard
                           : ContactFormat::csv;
        m_explicitSet = m_options.inputEncoding.empty() ? std::string()
                                                        : EncodingForLabel(m_options.inputEncoding);
        // With a mark or the user's choice, there is nothing to guess.
        const bool needEvidence = m_markSet.empty() && m_explicitSet.empty();
        m_collector.emplace(m_options, m_result, needEvidence);
        if (m_format == ContactFormat::vcard) {
            m_vcard.emplace(*m_collector);
        } else {
            std::vector<std::string> sets;
            if (!m_markSet.empty())
                sets = {"UTF-8"};
            else if (!m_explicitSet.empty())
                sets = {m_explicitSet};
            else {
                sets = {"UTF-8"};
                if (!m_options.userCodePage.empty())
                    sets.push_back(EncodingForLabel(m_options.userCodePage));
                for (const char* set : {"GB18030", "CP932", "BIG5-HKSCS", "CP1252"})
                    sets.emplace_back(EncodingForLabel(set));
            }
            m_csv.emplace(*m_collector, std::move(sets));
        }
        m_start.clear();
        m_start.shrink_to_fit();
        Syntax(firstText);
        return true;
    }

    bool Pass(std::string_view bytes, bool last) {
        if (!m_transcoder) {
            Syntax(bytes);
            return true;
        }
        auto text = m_transcoder->Convert(bytes, last);
        if (!text)
            return Refuse(m_markSet);
        Syntax(*text);
        return true;
    }

    void Syntax(std::string_view text) {
        if (m_vcard)
            m_vcard->Feed(text);
        else if (m_csv)
            m_csv->Feed(text);
    }

    bool Refuse(const std::string& set) {
        m_result.status = CStatus(StatusKind::encoding, {}, set);
        return false;
    }

    // The file's own set for values that name none; empty when none decodes them all.
    std::string FileSet() {
        if (!m_markSet.empty())
            return "UTF-8";
        if (!m_explicitSet.empty())
            return m_explicitSet;
        if (m_collector->AllUtf8())
            return "UTF-8";
        auto decodesAll = [&](const std::string& set) {
            if (set.empty() || !IsAvailableSet(set))
                return false;
            for (const RawContact& contact : m_collector->Kept()) {
                for (const auto* text :
                     {&contact.fullName, &contact.structuredName, &contact.family, &contact.given,
                      &contact.middle, &contact.organization, &contact.nickname}) {
                    if (*text && (*text)->label.empty() && !DecodeRaw(**text, set))
                        return false;
                }
                for (const RawValue& value : contact.values) {
                    if (value.text.label.empty() && !DecodeRaw(value.text, set))
                        return false;
                }
            }
            return true;
        };
        m_result.guessed = true;
        const std::string detected = EncodingForLabel(m_collector->Detector().Name());
        const std::string own = EncodingForLabel(m_options.userCodePage);
        // On a few bytes of Chinese the detector names a single-byte set (KOI8-R, say), in
        // which any bytes decode: bytes all in pairs are double-byte text, read in the user's
        // double-byte code page, else in GB18030, which this program's users write most.
        const std::string paired = IsDoubleByte(own) ? own : std::string("GB18030");
        if (!m_collector->OddRuns() && !IsDoubleByte(detected) && decodesAll(paired))
            return paired;
        if (decodesAll(detected))
            return detected;
        if (decodesAll(own))
            return own;
        m_result.guessed = false;
        return {};
    }

    // A value's text in UTF-8: its label's set unless the user or a mark chose, else the
    // file's; line breaks LF; vCard escapes undone only now, after decoding.
    // cut: a long text is cut here (CutLongText); a number's or an address's text is cut by
    // its caller once its scheme is gone, so that what is written reads back the same.
    std::optional<std::string> Text(const RawText& raw, const std::string& fileSet,
                                    const InterchangeContact& contact, bool cut = true) {
        std::string set = fileSet;
        bool labelled = false;
        if (!raw.label.empty() && m_markSet.empty() && m_explicitSet.empty()) {
            const std::string named = EncodingForLabel(raw.label);
            if (IsAvailableSet(named)) {
                set = named;
                labelled = true;
            } else {
                m_result.notes.Add({NoteKind::unknownCharset,
                                    ContactField::name,
                                    raw.line,
                                    contact.card,
                                    {},
                                    raw.label,
                                    0});
            }
        }
        std::string text;
        if (auto decoded = DecodeRaw(raw, set)) {
            text = std::move(*decoded);
            if (EqualsIgnoringCase(set, "CP950") && RemovePrivateUse(text))
                // Windows reads Big5 as CP950, which gives HKSCS characters private-use
                // code points: they are left out, with a note.
                m_result.notes.Add({NoteKind::invalidBytes,
                                    ContactField::name,
                                    raw.line,
                                    contact.card,
                                    QuoteShort(text),
                                    {},
                                    0});
        } else if (labelled || (m_explicitSet.empty() && m_markSet.empty()) ||
                   m_format == ContactFormat::vcard) {
            text = IsUtf8Name(set) ? CCodePage("UTF-8").ToUtf8Lossy(raw.bytes)
                                   : CCodePage(set).ToUtf8Lossy(raw.bytes);
            m_result.notes.Add({NoteKind::invalidBytes,
                                ContactField::name,
                                raw.line,
                                contact.card,
                                QuoteShort(text),
                                {},
                                0});
        } else {
            m_refusedSet = set;
            return std::nullopt;
        }
        // A vCard's line breaks are LF whatever a value held (a quoted-printable =0D=0A or
        // =0D, escaped or not), as an escaped "\n" gives and as the writer writes them back.
        // A CSV field keeps its own, which the CSV writer writes back as they are.
        std::string unified;
        unified.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (m_format != ContactFormat::vcard) {
                unified += text[i];
                continue;
            }
            if (text[i] != '\r') {
                unified += text[i];
                continue;
            }
            unified += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        }
        if (raw.separator != 0) {
            const auto components = raw.escaped ? VCardComponents(unified, raw.separator)
                                                : std::vector<std::string>{unified};
            for (std::size_t i = static_cast<std::size_t>(raw.skip); i < components.size(); ++i) {
                const std::string_view part = Trim(components[i]);
                if (!part.empty())
                    return cut ? CutLongText(std::string(part)) : std::string(part);
            }
            return std::string();
        }
        if (raw.escaped)
            unified = UnescapeVCard(unified);
        return cut ? CutLongText(std::string(Trim(unified))) : std::string(Trim(unified));
    }

    void Map() {
        std::deque<RawContact>& kept = m_collector->Kept();
        // A card nested in another finishes first; the file's order is that of the BEGINs.
        std::stable_sort(kept.begin(), kept.end(),
                         [](const RawContact& a, const RawContact& b) { return a.card < b.card; });
        const std::string fileSet = FileSet();
        bool needsFileSet = false;
        if (fileSet.empty()) {
            // Only values without a label need the file's set.
            for (const RawContact& contact : kept) {
                for (const RawValue& value : contact.values)
                    needsFileSet =
                        needsFileSet || (value.text.label.empty() && !IsAscii(value.text.bytes));
                for (const auto* text :
                     {&contact.fullName, &contact.structuredName, &contact.family, &contact.given,
                      &contact.middle, &contact.organization, &contact.nickname})
                    needsFileSet = needsFileSet ||
                                   (*text && (*text)->label.empty() && !IsAscii((*text)->bytes));
            }
            if (needsFileSet) {
                m_result.status = CStatus(StatusKind::encoding);
                return;
            }
        }
        m_result.encoding = !m_markSet.empty() ? m_markSet : (fileSet.empty() ? "UTF-8" : fileSet);
        const std::string set = fileSet.empty() ? "UTF-8" : fileSet;
        m_result.first = m_options.first;
        std::size_t outputBytes = 0;
        for (RawContact& raw : kept) {
            auto contact = MapContact(raw, set);
            if (!m_refusedSet.empty()) {
                m_result.status = CStatus(StatusKind::encoding, {}, m_refusedSet);
                m_result.contacts.clear();
                return;
            }
            if (!contact)
                continue;
            for (const std::string& text : contact->texts)
                outputBytes += text.capacity();
            outputBytes += sizeof(InterchangeContact);
            m_result.contacts.push_back(std::move(*contact));
        }
        m_result.peakBytes = std::max(m_result.peakBytes, m_collector->Bytes() + outputBytes);
    }

    std::optional<InterchangeContact> MapContact(const RawContact& raw, const std::string& set) {
        InterchangeContact contact;
        contact.line = raw.line;
        contact.card = raw.card;
        auto text = [&](const RawText* value) -> std::string {
            if (!value)
                return {};
            return Text(*value, set, contact).value_or(std::string());
        };
        std::string family = text(raw.family.get());
        std::string given = text(raw.given.get());
        std::string middle = text(raw.middle.get());
        if (raw.structuredName) {
            const std::string structured = [&] {
                RawText whole = *raw.structuredName;
                whole.escaped = false; // its parts are unescaped one by one
                return Text(whole, set, contact).value_or(std::string());
            }();
            const auto parts = VCardNameParts(structured);
            family = parts[0];
            given = parts[1];
            middle = parts[2];
        }
        FoundValues found;
        std::string firstEmail;
        for (const RawValue& value : raw.values) {
            std::string decoded = Text(value.text, set, contact, false).value_or(std::string());
            switch (value.kind) {
            case RawKind::number:
                // sip: and other URIs name no number; tel: is the number's own form, and what
                // it holds is looked at again, so that writing the number and reading it back
                // keeps or drops it alike ("tel:sip:1").
                if (IsUriOtherThanTel(decoded))
                    continue;
                decoded = TelUriNumber(decoded);
                if (IsUriOtherThanTel(decoded))
                    continue;
                break;
            case RawKind::email:
                decoded = StripScheme(decoded, "mailto:");
                break;
            case RawKind::qqUri:
                decoded = StripAnyScheme(decoded);
                break;
            case RawKind::text:
                break;
            }
            decoded = CutLongText(std::move(decoded));
            if (value.kind == RawKind::email && firstEmail.empty())
                firstEmail = decoded;
            if (!decoded.empty())
                found[FieldIndex(value.field)].push_back(
                    {std::move(decoded), value.text.line, value.text.preference});
        }
        // As phones name a contact: the formatted name, else the name's parts, else the
        // company, else the nickname, else the e-mail address's local part.
        std::string name = text(raw.fullName.get());
        // Cut as a name read whole is, so that the name written and read back is the same.
        const std::string fromParts = CutLongText(JoinPersonName(family, given, middle));
        std::vector<FoundValue> alternatives;
        if (name.empty())
            name = fromParts;
        else if (const std::string shorter = CutLongText(JoinPersonName(family, given));
                 !shorter.empty() && shorter != name)
            alternatives.push_back({shorter, raw.line, 0}); // when the name does not fit
        if (name.empty())
            name = text(raw.organization.get());
        if (name.empty())
            name = text(raw.nickname.get());
        if (name.empty())
            name = std::string(Trim(std::string_view(firstEmail).substr(0, firstEmail.find('@'))));
        if (name.empty()) {
            m_result.notes.Add(
                {NoteKind::noName, ContactField::name, raw.line, raw.card, {}, {}, 0});
            return std::nullopt;
        }
        contact[ContactField::name] = std::move(name);
        PlaceFoundValues(contact, std::move(found));
        contact.more[FieldIndex(ContactField::name)] = std::move(alternatives);
        for (ContactField field : kAllFields) {
            // Counted one by one, as the values the phone book step leaves out are.
            for (std::size_t i = 0; i < raw.leftOut[FieldIndex(field)]; ++i)
                m_result.notes.Add({NoteKind::valueLeftOut,
                                    field,
                                    raw.line,
                                    raw.card,
                                    contact[ContactField::name],
                                    {},
                                    0});
        }
        return contact;
    }

    const ReadOptions& m_options;
    ContactFormat m_format;
    InterchangeRead m_result;
    bool m_started = false;
    std::string m_start;
    std::string m_markSet;
    std::string m_explicitSet;
    std::string m_refusedSet;
    std::optional<CUnicodeTranscoder> m_transcoder;
    std::optional<CCollector> m_collector;
    std::optional<CVCardSyntax> m_vcard;
    std::optional<CCsvSyntax> m_csv;
};

ContactFormat FormatOfPath(const std::filesystem::path& path, ContactFormat format) {
    if (format != ContactFormat::guess)
        return format;
    const std::string ending = Lower(path.extension().string());
    if (ending == ".csv")
        return ContactFormat::csv;
    if (ending == ".vcf" || ending == ".vcard")
        return ContactFormat::vcard;
    return ContactFormat::guess;
}

template <typename ReadChunk>
InterchangeRead Run(const ReadOptions& options, ContactFormat format, std::uint64_t size,
                    ReadChunk readChunk) {
    CReadRun run(options, format);
    std::vector<char> buffer(kChunk);
    std::uint64_t total = 0;
    while (true) {
        CResult<std::size_t> read = readChunk(std::span<char>(buffer));
        if (!read)
            return run.Finish(read.Status());
        if (*read == 0)
            break;
        total += *read;
        if (!run.Feed(std::string_view(buffer.data(), *read)))
            break;
        run.Measure();
        if (options.progress)
            options.progress(total, size);
    }
    return run.Finish({});
}

} // namespace

InterchangeRead ReadContacts(const std::filesystem::path& path, const ReadOptions& options) {
    auto source = OpenByteSource(path);
    if (!source) {
        InterchangeRead refused;
        refused.status = source.Status();
        return refused;
    }
    if (options.cancel != nullptr)
        options.cancel->BindThread();
    InterchangeRead read =
        Run(options, FormatOfPath(path, options.format), (*source)->Size(),
            [&](std::span<char> buffer) {
                return (*source)->Read(buffer, options.cancel, options.stallLimitMs);
            });
    if (options.cancel != nullptr)
        options.cancel->UnbindThread();
    if (!read.status.IsOk() && read.status.Path().empty())
        read.status.WithPath(path);
    return read;
}

InterchangeRead ReadContacts(std::istream& stream, const ReadOptions& options) {
    return Run(options, options.format, 0, [&](std::span<char> buffer) -> CResult<std::size_t> {
        if (options.cancel != nullptr && options.cancel->IsCancelled())
            return CStatus(StatusKind::cancelled);
        stream.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        if (stream.bad())
            return CStatus::FromErrno(EIO);
        return static_cast<std::size_t>(stream.gcount());
    });
}

InterchangeRead ReadContactBytes(std::string_view bytes, const ReadOptions& options) {
    std::size_t position = 0;
    return Run(options, options.format, bytes.size(),
               [&](std::span<char> buffer) -> CResult<std::size_t> {
                   if (options.cancel != nullptr && options.cancel->IsCancelled())
                       return CStatus(StatusKind::cancelled);
                   const std::size_t take = std::min(buffer.size(), bytes.size() - position);
                   std::copy_n(bytes.data() + position, take, buffer.data());
                   position += take;
                   return take;
               });
}

std::string WriteContacts(std::span<const InterchangeContact> contacts, ContactFormat format) {
    return format == ContactFormat::csv ? CCsvWriter::Write(contacts)
                                        : CVCardWriter::Write(contacts);
}

} // namespace orvalen
