#include "NameList.h"

namespace orvalen {

int CNameList::SortedInsertPosition(std::string_view text) const {
    int low = 0;
    int high = GetCount();
    // Files arrive sorted (Save writes list order), so a loaded name usually goes last: one
    // comparison instead of a search of the whole list.
    if (high > 0 && Collation().Compare(text, GetText(high - 1)) >= 0)
        return high;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (Collation().Compare(text, GetText(mid)) < 0)
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

int CNameList::FindPrefix(int startAfter, std::string_view prefix) const {
    const int count = GetCount();
    if (count == 0)
        return -1;
    if (startAfter < -1 || startAfter >= count)
        startAfter = -1;
    for (int step = 1; step <= count; ++step) {
        const int index = (startAfter + step) % count;
        if (Collation().StartsWith(GetText(index), prefix))
            return index;
    }
    return -1;
}

int CMemoryNameList::AddString(std::string_view text) {
    // A sorted file's names go last: compare with the last entry in place, without a copy.
    const int position = !m_entries.empty() && Collation().Compare(text, m_entries.back()) >= 0
                             ? GetCount()
                             : SortedInsertPosition(text);
    if (position == GetCount())
        m_entries.emplace_back(text);
    else
        m_entries.emplace(m_entries.begin() + position, text);
    // Like a list control: the selection stays on the entry it was on.
    if (m_selection >= position)
        ++m_selection;
    return position;
}

void CMemoryNameList::DeleteString(int index) {
    if (index < 0 || index >= GetCount())
        return;
    m_entries.erase(m_entries.begin() + index);
    if (m_selection == index)
        m_selection = -1;
    else if (m_selection > index)
        --m_selection;
}

void CMemoryNameList::ResetContent() {
    m_entries.clear();
    m_selection = -1;
}

void CMemoryNameList::SetCurSel(int index) {
    m_selection = (index >= 0 && index < GetCount()) ? index : -1;
}

int CNameList::SelectString(int startAfter, std::string_view prefix) {
    const int found = FindPrefix(startAfter, prefix);
    if (found >= 0)
        SetCurSel(found);
    return found;
}

std::string CMemoryNameList::GetText(int index) const {
    if (index < 0 || index >= GetCount())
        return {};
    return m_entries[static_cast<std::size_t>(index)];
}

} // namespace orvalen
