#include "NameCollation.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orvalen {
namespace {

unsigned char g_leadFirst = 1;
unsigned char g_leadLast = 0; // empty range: no double-byte leads

// Walks a name and yields its bytes folded: ASCII letters that stand alone become lower case.
class FoldedBytes {
public:
    // trailPending: the walk starts on the second byte of a double-byte character.
    FoldedBytes(std::string_view text, bool trailPending)
        : m_text(text), m_trailPending(trailPending) {}

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

// How many leading bytes a and b share, compared a word at a time.
std::size_t SharedPrefix(std::string_view a, std::string_view b) {
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    const std::size_t common = std::min(a.size(), b.size());
    const auto differenceAt = [&](std::size_t at) -> std::uint64_t {
        std::uint64_t left;
        std::uint64_t right;
        std::memcpy(&left, a.data() + at, kWord);
        std::memcpy(&right, b.data() + at, kWord);
        return left ^ right;
    };
    if constexpr (std::endian::native == std::endian::little) {
        if (common >= kWord) {
            // Whole words, then the last word of the common part, overlapping what was equal.
            for (std::size_t at = 0; at + kWord <= common; at += kWord) {
                if (const std::uint64_t difference = differenceAt(at))
                    return at + static_cast<std::size_t>(std::countr_zero(difference)) / 8;
            }
            const std::size_t last = common - kWord;
            const std::uint64_t difference = differenceAt(last);
            return difference == 0
                       ? common
                       : last + static_cast<std::size_t>(std::countr_zero(difference)) / 8;
        }
    }
    std::size_t same = 0;
    while (same < common && a[same] == b[same])
        ++same;
    return same;
}

// Whether the byte after the first count bytes of text is the second of a double-byte character.
bool TrailPendingAfter(std::string_view text, std::size_t count) {
    bool trail = false;
    if (g_leadFirst <= g_leadLast) {
        for (std::size_t i = 0; i < count; ++i)
            trail = !trail && IsDoubleByteLead(static_cast<unsigned char>(text[i]));
    }
    return trail;
}

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
    // Equal bytes fold alike and step both walks alike, so the shared prefix (long between
    // neighbours in a sorted list) is skipped by plain comparison; the walks start after it,
    // where the first bytes usually decide.
    std::size_t at = SharedPrefix(a, b);
    bool trailA = TrailPendingAfter(a, at);
    bool trailB = trailA;
    const auto fold = [](unsigned char byte, bool trail) {
        if (trail || IsDoubleByteLead(byte) || byte < 'A' || byte > 'Z')
            return byte;
        return static_cast<unsigned char>(byte + ('a' - 'A'));
    };
    for (; at < a.size() && at < b.size(); ++at) {
        const auto x = static_cast<unsigned char>(a[at]);
        const auto y = static_cast<unsigned char>(b[at]);
        const unsigned char l = fold(x, trailA);
        const unsigned char r = fold(y, trailB);
        if (l != r)
            return l < r ? -1 : 1;
        trailA = !trailA && IsDoubleByteLead(x);
        trailB = !trailB && IsDoubleByteLead(y);
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool StartsWithName(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size())
        return false;
    FoldedBytes whole(text, false);
    FoldedBytes start(prefix, false);
    while (!start.AtEnd()) {
        if (whole.Next() != start.Next())
            return false;
    }
    return true;
}

} // namespace orvalen
