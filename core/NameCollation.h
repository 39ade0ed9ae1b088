#pragma once

#include <array>
#include <string_view>

namespace orvalen {

class CCodePage;

// How the name list orders and prefix-matches names "without regard to case", in one code page.
//
// Names are byte strings in the code page. Each byte that is a character by itself folds to
// its lower case (ASCII letters in every code page; in a single-byte code page also the letters
// beyond ASCII, such as Cyrillic in CP1251), then unsigned bytes compare. The second byte of a
// double-byte character is never folded: in GBK, Big5 and CP932 it can be an ASCII letter and
// folding it would equate two different characters.
//
// A value: built once from the code page and handed to the name lists; copies compare alike.
class CNameCollation {
public:
    // UTF-8: ASCII letters fold, every other byte compares as it is.
    CNameCollation();
    explicit CNameCollation(const CCodePage& codePage);

    // Negative, zero or positive, as a sorts before, with or after b.
    int Compare(std::string_view a, std::string_view b) const;
    bool StartsWith(std::string_view text, std::string_view prefix) const;
    bool IsDoubleByteLead(unsigned char byte) const { return m_lead[byte]; }

private:
    std::array<unsigned char, 256> m_lower{};
    std::array<bool, 256> m_lead{};
    bool m_doubleByte = false;
};

} // namespace orvalen
