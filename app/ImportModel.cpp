#include "ImportModel.h"

#include "FieldInput.h"
#include "Texts.h"

#include <algorithm>

namespace orvalen {
namespace {

// The name of a field's column, which the notes name it by.
const CText& ColumnText(ContactField field) {
    switch (field) {
    case ContactField::mobile:
        return texts::kColumnMobile;
    case ContactField::telephone:
        return texts::kColumnTelephone;
    case ContactField::email:
        return texts::kColumnEmail;
    case ContactField::qq:
        return texts::kColumnQq;
    case ContactField::fax:
        return texts::kColumnFax;
    default:
        return texts::kColumnName;
    }
}

constexpr std::array<RepeatedChoice, 3> kRepeatedChoices = {{
    {texts::kUpdateDetails, RepeatedNames::merge},
    {texts::kSkipThem, RepeatedNames::skip},
    {texts::kAddAsWell, RepeatedNames::addAsWell},
}};

// Character sets to read a file in when the guess was wrong: what phones and address books
// around the players' owners write.
constexpr std::array<std::string_view, 11> kEncodings = {
    "UTF-8",  "GB18030",  "GBK",      "BIG5",       "Shift_JIS",   "EUC-JP",
    "EUC-KR", "UTF-16LE", "UTF-16BE", "ISO-8859-1", "WINDOWS-1252"};

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return SimpleLowerCase(static_cast<unsigned char>(x)) ==
               SimpleLowerCase(static_cast<unsigned char>(y));
    });
}

} // namespace

std::string FoldCase(std::string_view utf8) {
    std::string folded;
    folded.reserve(utf8.size());
    while (!utf8.empty()) {
        const std::size_t length = Utf8CharLength(utf8);
        if (length == 0) {
            folded += utf8.front();
            utf8.remove_prefix(1);
            continue;
        }
        folded +=
            EncodeUtf8(SimpleLowerCase(SingleCodePoint(utf8.substr(0, length)).value_or(0xFFFD)));
        utf8.remove_prefix(length);
    }
    return folded;
}

CImportModel::CImportModel(const CCodePage& codePage, int bookCount, ImportFile file, Reader reader)
    : m_codePage(codePage), m_bookCount(bookCount), m_reader(std::move(reader)) {
    if (m_reader && file.guessed) {
        m_encodings.push_back(file.encoding);
        for (const std::string_view name : kEncodings)
            if (!SameName(name, file.encoding))
                m_encodings.emplace_back(name);
    }
    SetRows(std::move(file));
}

void CImportModel::SetRows(ImportFile file) {
    m_first = file.first;
    m_read = file.read;
    m_total = file.total;
    m_rows = std::move(file.rows);
    m_shown.assign(m_rows.size(), {});
    m_searchable.assign(m_rows.size(), {});
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        for (ContactField field : kAllFields) {
            std::string& shown = m_shown[r][FieldIndex(field)];
            shown = m_codePage.ToUtf8Lossy(m_rows[r].form[field]);
            // Between the fields a character no search holds, so no match spans two.
            m_searchable[r] += FoldCase(shown) + '\n';
        }
    }
    m_ticked = TicksWhileRoom(m_rows, kMaxContacts - m_bookCount);
}

std::string CImportModel::Note(int row, std::string_view separator) const {
    const ImportRow& imported = Row(row);
    std::string note;
    for (const InterchangeNote& loss : imported.notes) {
        if (!note.empty())
            note += separator;
        note += WordNote(loss);
    }
    if (imported.known) {
        if (!note.empty())
            note += separator;
        note += Tr(texts::kKnownName);
    }
    return note;
}

// A loss in the words of the catalogue, its limit in the user's terms.
std::string CImportModel::WordNote(const InterchangeNote& note) const {
    const std::string field = Tr(ColumnText(note.field));
    const FieldLimit limit = LimitOf(note.field, MaxLength(note.field), m_codePage);
    const int count = static_cast<int>(limit.count);
    const std::string chinese = std::to_string(limit.chinese);
    switch (note.kind) {
    case NoteKind::valueLeftOut:
        return Tr(texts::kNoteLeftOut, {field, note.value});
    case NoteKind::valueTooLong:
        switch (limit.unit) {
        case LimitUnit::digits:
            return Tr(texts::kNoteTooLongDigits, count, {field, note.value});
        case LimitUnit::letters:
            return Tr(texts::kNoteTooLongLetters, count, {field, note.value});
        case LimitUnit::chineseAndLetters:
            return Tr(texts::kNoteTooLongChinese, count, {field, note.value, chinese});
        case LimitUnit::bytes:
            break;
        }
        return Tr(texts::kNoteTooLongBytes, count, {field, note.value});
    case NoteKind::nameCut:
        switch (limit.unit) {
        case LimitUnit::letters:
            return Tr(texts::kNoteNameCutLetters, count, {note.value});
        case LimitUnit::chineseAndLetters:
            return Tr(texts::kNoteNameCutChinese, count, {note.value, chinese});
        default:
            break;
        }
        return Tr(texts::kNoteNameCutBytes, count, {note.value});
    case NoteKind::controlRemoved:
        return Tr(texts::kNoteControls, {field});
    case NoteKind::extensionLeftOut:
        return Tr(texts::kNoteExtension, {field, note.value});
    default:
        return Tr(texts::kNoteReplaced, {field, m_codePage.Name()});
    }
}

void CImportModel::TickShown(bool ticked) {
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        if (Matches(static_cast<int>(r)))
            m_ticked[r] = ticked;
}

void CImportModel::SetSearch(std::string_view text) {
    // Blanks around the search are not meant to be found.
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    m_search = first == std::string_view::npos ? std::string()
                                               : FoldCase(text.substr(first, last - first + 1));
}

bool CImportModel::Matches(int row) const {
    return m_search.empty() || m_searchable[Index(row)].find(m_search) != std::string::npos;
}

std::vector<int> CImportModel::ShownRows() const {
    std::vector<int> shown;
    for (int r = 0; r < RowCount(); ++r)
        if (Matches(r))
            shown.push_back(r);
    return shown;
}

std::span<const RepeatedChoice> CImportModel::Choices() {
    return kRepeatedChoices;
}

void CImportModel::SetChoice(int choice) {
    if (choice >= 0 && static_cast<std::size_t>(choice) < kRepeatedChoices.size())
        m_choice = choice;
}

RepeatedNames CImportModel::Repeated() const {
    return kRepeatedChoices[static_cast<std::size_t>(m_choice)].repeated;
}

int CImportModel::TickedCount() const {
    return static_cast<int>(std::count(m_ticked.begin(), m_ticked.end(), true));
}

int CImportModel::PlacesLeft() const {
    return kMaxContacts - m_bookCount - PlacesNeeded(m_rows, m_ticked, Repeated());
}

std::string CImportModel::CountLine() const {
    const int left = PlacesLeft();
    const std::string places =
        left >= 0 ? Tr(texts::kPlacesLeft, left) : Tr(texts::kPlacesOver, -left);
    return Tr(texts::kCountLine, {Tr(texts::kSelectedCount, TickedCount()), places});
}

CStatus CImportModel::ChooseEncoding(int index) {
    if (!m_reader || index < 0 || static_cast<std::size_t>(index) >= m_encodings.size() ||
        index == m_encodingIndex)
        return {};
    return ReadAgain(index, m_first);
}

CStatus CImportModel::ReadAgain(int encodingIndex, std::size_t first) {
    // Every range in the set the box shows, so that what it says stays true; a file that named
    // its set is read as it says.
    const std::string encoding =
        m_encodings.empty() ? std::string() : m_encodings[Index(encodingIndex)];
    CResult<ImportFile> again = m_reader(encoding, first);
    if (!again)
        return again.Status().Kind() == StatusKind::cancelled ? CStatus() : again.Status();
    m_encodingIndex = encodingIndex;
    SetRows(std::move(*again));
    return {};
}

std::size_t CImportModel::NextFirst() const {
    const std::size_t end = m_first - 1 + m_read;
    return end < m_total ? end + 1 : 1;
}

std::string CImportModel::RangeLine() const {
    if (m_first == 1 && m_read >= m_total)
        return {};
    if (m_first == 1)
        return Tr(texts::kRangeFirst, {GroupDigits(m_read), GroupDigits(m_total)});
    return Tr(texts::kRangeLater,
              {GroupDigits(m_first), GroupDigits(m_first - 1 + m_read), GroupDigits(m_total)});
}

std::string CImportModel::NextRangeText() const {
    if (!m_reader || RangeLine().empty())
        return {};
    const std::size_t next = NextFirst();
    const std::string count = GroupDigits(std::min(kMaxKeptContacts, m_total - (next - 1)));
    return Tr(next == 1 ? texts::kReadFirst : texts::kReadNext, {count});
}

CStatus CImportModel::ReadNextRange() {
    if (NextRangeText().empty())
        return {};
    return ReadAgain(m_encodingIndex, NextFirst());
}

std::string GroupDigits(std::size_t number) {
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, ',');
    return digits;
}

std::vector<ContactForm> CImportModel::Chosen() const {
    std::vector<ContactForm> chosen;
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        if (m_ticked[r])
            chosen.push_back(m_rows[r].form);
    return chosen;
}

} // namespace orvalen
