#pragma once

// The import dialog without its window: the contacts a file holds as rows, their ticks, the
// search that picks the rows shown, the count line, the choice for names the phone book already
// holds, where the file's character set was guessed, the sets offered to read it again in, and,
// where the file holds more contacts than one read keeps, which range is shown and the next.
// Both windows show this model and pass the user's actions to it; after OK the caller enters
// Chosen() with Repeated(). Texts are UTF-8 and already translated.

#include "BookEditor.h"
#include "CodePage.h"
#include "ContactImport.h"
#include "Status.h"

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen {

struct CText;

// A repeated-name choice as the box offers it; the first is the default.
struct RepeatedChoice {
    const CText& text;
    RepeatedNames repeated;
};

class CImportModel {
public:
    // Reads the file again in the named character set (empty: as the file says or is guessed),
    // from contact first on.
    using Reader =
        std::function<CResult<ImportFile>(const std::string& encoding, std::size_t first)>;

    // bookCount: contacts already in the phone book. With a reader, other character sets are
    // offered where the file's was guessed, and other ranges where it holds more contacts.
    CImportModel(const CCodePage& codePage, int bookCount, ImportFile file, Reader reader = {});

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    const ImportRow& Row(int row) const { return m_rows[Index(row)]; }
    // The row's six texts as shown, and what was cut or left out with whether its name is known.
    const std::array<std::string, kFieldCount>& Shown(int row) const { return m_shown[Index(row)]; }
    std::string Note(int row, std::string_view separator) const;

    bool IsTicked(int row) const { return m_ticked[Index(row)]; }
    void SetTicked(int row, bool ticked) { m_ticked[Index(row)] = ticked; }
    // Ticks or unticks every row the search shows.
    void TickShown(bool ticked);

    // The rows whose texts hold the search text, ignoring case; all rows for an empty search.
    void SetSearch(std::string_view text);
    bool Matches(int row) const;
    std::vector<int> ShownRows() const;

    static std::span<const RepeatedChoice> Choices();
    int Choice() const { return m_choice; }
    void SetChoice(int choice);
    RepeatedNames Repeated() const;

    int TickedCount() const;
    // Places left after the ticked rows under the current choice; below 0 when they need more.
    int PlacesLeft() const;
    // "3 selected · 5 places left", or how many too many.
    std::string CountLine() const;
    bool CanAccept() const { return PlacesLeft() >= 0; }

    // The character sets offered: the one the rows were read in first, then the others. Empty
    // when the file named its set.
    const std::vector<std::string>& Encodings() const { return m_encodings; }
    // The entry of Encodings() that the rows shown were read in.
    int EncodingIndex() const { return m_encodingIndex; }
    // Reads the file again in entry index and ticks the new rows anew. On a failure the rows and
    // EncodingIndex() stay as they were, and the failure is returned for the window to show.
    CStatus ChooseEncoding(int index);

    // "Shown: the first 20,000 of 2,200,000 contacts", or of a later range; empty when the
    // whole file is shown.
    std::string RangeLine() const;
    // The button that reads the next range ("Read the ne&xt 20,000"; after the last, the first
    // again); empty when there is no other range.
    std::string NextRangeText() const;
    // Reads that range in the set shown and ticks its rows anew; a failure as ChooseEncoding.
    CStatus ReadNextRange();

    std::vector<ContactForm> Chosen() const;

private:
    std::string WordNote(const InterchangeNote& note) const;
    static std::size_t Index(int row) { return static_cast<std::size_t>(row); }
    void SetRows(ImportFile file);
    std::size_t NextFirst() const;
    // A re-read: a cancelled one changes nothing and is no failure.
    CStatus ReadAgain(int encodingIndex, std::size_t first);

    const CCodePage& m_codePage;
    int m_bookCount;
    Reader m_reader;
    std::vector<ImportRow> m_rows;
    std::vector<std::array<std::string, kFieldCount>> m_shown;
    std::vector<std::string> m_searchable; // lower case, the fields apart
    std::vector<bool> m_ticked;
    std::string m_search;
    int m_choice = 0;
    std::vector<std::string> m_encodings;
    int m_encodingIndex = 0;
    std::size_t m_first = 1; // the range shown: its first contact, how many, of how many
    std::size_t m_read = 0;
    std::size_t m_total = 0;
};

// 2200000 as "2,200,000".
std::string GroupDigits(std::size_t number);

// The search's lower case: the code pages' letters (SimpleLowerCase), so a search for "ann"
// finds "ANN" and "Ánn" finds "ánn".
std::string FoldCase(std::string_view utf8);

} // namespace orvalen
