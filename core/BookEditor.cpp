#include "BookEditor.h"

#include "Messages.h"

namespace orvalen {

int CBookEditor::FindListed(int listIndex) const {
    if (listIndex < 0 || listIndex >= m_list.GetCount())
        return CContactTable::kNone;
    const std::string name = m_list.GetText(listIndex);
    int occurrence = 0;
    for (int i = 0; i < listIndex; ++i) {
        if (m_list.GetText(i) == name)
            ++occurrence;
    }
    return m_table.Find(name, occurrence);
}

void CBookEditor::Add() {
    m_view.ReadForm(m_form);
    const std::string& name = m_form[ContactField::name];
    if (name.empty()) {
        m_view.ShowMessage(messages::kEmptyName, MessageIcon::warning, MessageButtons::ok);
        return;
    }

    // An existing name is updated even in a full phone book; only new names need room.
    const int existing = m_table.Find(name);
    if (existing != CContactTable::kNone) {
        if (m_view.ShowMessage(messages::kNameRepeat, MessageIcon::warning,
                               MessageButtons::okCancel) != MessageResult::ok)
            return;
        m_table.UpdateDetails(existing, m_form);
        return;
    }
    if (m_table.Count() >= kMaxContacts) {
        m_view.ShowMessage(messages::kOverflow, MessageIcon::warning, MessageButtons::ok);
        return;
    }

    const int position = m_list.AddString(name);
    m_table.Append(m_form);
    WriteForm();
    // Select the new entry itself: a prefix search could land on another contact while the
    // form shows this one, and the next delete would remove the wrong contact.
    m_list.SetCurSel(position);
}

void CBookEditor::ShowContact(int index) {
    for (ContactField field : kAllFields)
        m_form[field] = std::string(m_table.Text(index, field));
    WriteForm();
}

void CBookEditor::ShowSelected() {
    const int index = FindListed(m_list.GetCurSel());
    if (index == CContactTable::kNone) {
        m_view.ShowMessage(messages::kListTableMismatch, MessageIcon::error, MessageButtons::ok);
        return;
    }
    ShowContact(index);
}

void CBookEditor::Delete() {
    const int selection = m_list.GetCurSel();
    if (selection < 0) {
        m_view.ShowMessage(messages::kSelectFirst, MessageIcon::warning, MessageButtons::ok);
        return;
    }
    const int index = FindListed(selection);
    if (index == CContactTable::kNone) {
        m_view.ShowMessage(messages::kListTableMismatch, MessageIcon::error, MessageButtons::ok);
        return;
    }

    m_table.RemoveAt(index);
    m_list.DeleteString(selection);

    if (selection > 0) {
        m_list.SetCurSel(selection - 1);
        ShowSelected();
    } else if (m_list.GetCount() > 0) {
        m_list.SetCurSel(0);
        ShowSelected();
    } else {
        m_form.ClearTexts();
        WriteForm();
    }
}

void CBookEditor::Clear() {
    m_list.ResetContent();
    m_form.ClearTexts();
    m_table.Clear();
    WriteForm();
}

} // namespace orvalen
