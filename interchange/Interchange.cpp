#include "Interchange.h"

#include "CodePage.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <unordered_set>

namespace orvalen {

void PlaceFoundValues(InterchangeContact& contact, FoundValues found) {
    for (ContactField field : kAllFields) {
        if (field == ContactField::name)
            continue;
        std::vector<FoundValue>& values = found[FieldIndex(field)];
        // Without a preference a value ranks after every preferred one.
        std::stable_sort(values.begin(), values.end(),
                         [](const FoundValue& a, const FoundValue& b) {
                             const int left = a.preference > 0 ? a.preference : INT_MAX;
                             const int right = b.preference > 0 ? b.preference : INT_MAX;
                             return left < right;
                         });
        std::vector<FoundValue>& more = contact.more[FieldIndex(field)];
        std::unordered_set<std::string> kept;
        for (FoundValue& item : values) {
            // The same number under two labels (Home and Primary, say) is one number.
            if (!kept.insert(item.value).second)
                continue;
            if (contact[field].empty()) {
                contact[field] = std::move(item.value);
                contact.lines[FieldIndex(field)] = item.line;
            } else
                more.push_back(std::move(item));
        }
    }
}

std::string QuoteShort(std::string_view utf8) {
    if (utf8.size() <= kQuoteLength)
        return std::string(utf8);
    std::size_t take = 0;
    while (take < utf8.size()) {
        std::size_t length = Utf8CharLength(utf8.substr(take));
        if (length == 0)
            length = 1;
        if (take + length > kQuoteLength)
            break;
        take += length;
    }
    return std::string(utf8.substr(0, take)) + "…";
}

void CNotes::Add(InterchangeNote note) {
    std::size_t& count = m_counts[static_cast<std::size_t>(note.kind)];
    if (++count > kExamplesPerKind)
        return;
    note.contact = QuoteShort(note.contact);
    note.value = QuoteShort(note.value);
    m_examples.push_back(std::move(note));
}

void CNotes::Merge(const CNotes& other) {
    for (std::size_t kind = 0; kind < kNoteKindCount; ++kind) {
        std::size_t shown = 0;
        for (const InterchangeNote& note : other.m_examples) {
            if (static_cast<std::size_t>(note.kind) == kind) {
                Add(note);
                ++shown;
            }
        }
        m_counts[kind] += other.m_counts[kind] - shown;
    }
}

std::size_t CNotes::Total() const {
    return std::accumulate(m_counts.begin(), m_counts.end(), std::size_t{0});
}

} // namespace orvalen
