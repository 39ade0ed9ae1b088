#include "NameListBox.h"

namespace orvalen::win32 {

int CNameListBox::AddString(std::string_view text) {
    const int position = SortedInsertPosition(text);
    const std::wstring shown = m_codec.ToDisplay(text);
    const LRESULT inserted = SendMessageW(m_listBox, LB_INSERTSTRING, static_cast<WPARAM>(position),
                                          reinterpret_cast<LPARAM>(shown.c_str()));
    if (inserted < 0)
        return -1;
    m_entries.emplace(m_entries.begin() + position, text);
    return position;
}

void CNameListBox::DeleteString(int index) {
    if (index < 0 || index >= GetCount())
        return;
    SendMessageW(m_listBox, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    m_entries.erase(m_entries.begin() + index);
}

void CNameListBox::ResetContent() {
    SendMessageW(m_listBox, LB_RESETCONTENT, 0, 0);
    m_entries.clear();
}

int CNameListBox::GetCurSel() const {
    const LRESULT selected = SendMessageW(m_listBox, LB_GETCURSEL, 0, 0);
    return selected >= 0 && selected < GetCount() ? static_cast<int>(selected) : -1;
}

void CNameListBox::SetCurSel(int index) {
    if (index < 0 || index >= GetCount())
        index = -1;
    // Selecting by program sends no LBN_SELCHANGE, so no command runs from here.
    SendMessageW(m_listBox, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string CNameListBox::GetText(int index) const {
    if (index < 0 || index >= GetCount())
        return {};
    return m_entries[static_cast<std::size_t>(index)];
}

} // namespace orvalen::win32
