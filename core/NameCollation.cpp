#include "NameCollation.h"

#include <algorithm>
#include <cstddef>

namespace orvalen {
namespace {

unsigned char g_leadFirst = 1;
unsigned char g_leadLast = 0; // empty range: no double-byte leads

// Walks a name and yields its bytes folded: ASCII letters that stand alone become lower case.
class FoldedBytes {
public:
    explicit FoldedBytes(std::string_view text) : m_text(text) {}

    bool AtEnd() const { return m_pos >= m_text.size(); }

    unsigned char Next() {
        const auto byte = static_cast<unsigned char>(m_text[m_pos++]);
        if (m_trailPending) {
            m_trailPending = false;
            return byte;
        }
        if (IsDoubleByteLead(byte)) {
            m_trailPending = true;
            return byte;
        }
        return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    bool m_trailPending = false;
};

} // namespace

void SetDoubleByteLeadRange(unsigned char first, unsigned char last) {
    g_leadFirst = first;
    g_leadLast = last;
}

void ClearDoubleByteLeads() {
    g_leadFirst = 1;
    g_leadLast = 0;
}

bool IsDoubleByteLead(unsigned char byte) {
    return byte >= g_leadFirst && byte <= g_leadLast;
}

int CompareNames(std::string_view a, std::string_view b) {
    FoldedBytes left(a);
    FoldedBytes right(b);
    while (!left.AtEnd() && !right.AtEnd()) {
        const unsigned char l = left.Next();
        const unsigned char r = right.Next();
        if (l != r)
            return l < r ? -1 : 1;
    }
    if (left.AtEnd() && right.AtEnd())
        return 0;
    return left.AtEnd() ? -1 : 1;
}

bool StartsWithName(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size())
        return false;
    FoldedBytes whole(text);
    FoldedBytes start(prefix);
    while (!start.AtEnd()) {
        if (whole.Next() != start.Next())
            return false;
    }
    return true;
}

} // namespace orvalen
