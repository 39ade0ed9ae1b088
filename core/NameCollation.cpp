#include "NameCollation.h"

#include "CodePage.h"

namespace orvalen {

CNameCollation::CNameCollation() {
    for (std::size_t byte = 0; byte < m_lower.size(); ++byte)
        m_lower[byte] = static_cast<unsigned char>(byte);
    for (unsigned char letter = 'A'; letter <= 'Z'; ++letter)
        m_lower[letter] = static_cast<unsigned char>(letter + ('a' - 'A'));
}

CNameCollation::CNameCollation(const CCodePage& codePage)
    : m_lower(codePage.LowerCaseBytes()), m_lead(codePage.LeadBytes()) {}

int CNameCollation::Compare(std::string_view a, std::string_view b) const {
    bool trailA = false;
    bool trailB = false;
    for (std::size_t at = 0; at < a.size() && at < b.size(); ++at) {
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
