#include "NameCollation.h"

#include "CodePage.h"

#include <algorithm>

namespace orvalen {

CNameCollation::CNameCollation() {
    for (std::size_t byte = 0; byte < m_lower.size(); ++byte)
        m_lower[byte] = static_cast<unsigned char>(byte);
    for (unsigned char letter = 'A'; letter <= 'Z'; ++letter)
        m_lower[letter] = static_cast<unsigned char>(letter + ('a' - 'A'));
}

CNameCollation::CNameCollation(const CCodePage& codePage)
    : m_lower(codePage.LowerCaseBytes()), m_lead(codePage.LeadBytes()),
      m_doubleByte(std::find(m_lead.begin(), m_lead.end(), true) != m_lead.end()) {}

int CNameCollation::Compare(std::string_view a, std::string_view b) const {
    // Equal bytes fold alike, so the shared start (long between neighbours in a sorted list) is
    // passed over unfolded; only whether it ends inside a double-byte character matters.
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t at = static_cast<std::size_t>(
        std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(common), b.begin()).first -
        a.begin());
    bool trailA = false;
    if (m_doubleByte) {
        for (std::size_t i = 0; i < at; ++i)
            trailA = !trailA && m_lead[static_cast<unsigned char>(a[i])];
    }
    bool trailB = trailA;
    for (; at < a.size() && at < b.size(); ++at) {
        const auto x = static_cast<unsigned char>(a[at]);
        const auto y = static_cast<unsigned char>(b[at]);
        const unsigned char l = trailA ? x : m_lower[x];
        const unsigned char r = trailB ? y : m_lower[y];
        if (l != r)
            return l < r ? -1 : 1;
        trailA = !trailA && m_lead[x];
        trailB = !trailB && m_lead[y];
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool CNameCollation::StartsWith(std::string_view text, std::string_view prefix) const {
    return prefix.size() <= text.size() && Compare(text.substr(0, prefix.size()), prefix) == 0;
}

} // namespace orvalen
