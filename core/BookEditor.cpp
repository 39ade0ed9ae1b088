#include "BookEditor.h"

#include "Messages.h"
#include "NameCollation.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace orvalen {

int CBookEditor::FindListed(int listIndex) const {
    if (listIndex < 0 || listIndex >= m_list.GetCount())
        return CContactTable::kNone;
    const std::string name = m_list.GetText(listIndex);
    // Entries of exactly this name compare equal to it ignoring case, and the list is sorted, so
    // the earlier ones lie just above it: the rest of the list need not be read.
    int occurrence = 0;
    for (int i = listIndex - 1; i >= 0; --i) {
        const std::string text = m_list.GetText(i);
        if (CompareNames(text, name) != 0)
            break;
        if (text == name)
            ++occurrence;
    }
    return m_table.Find(name, occurrence);
}

std::vector<int> CBookEditor::FindAllListed() const {
    const int count = m_list.GetCount();
    std::vector<int> indexes(static_cast<std::size_t>(std::max(count, 0)), CContactTable::kNone);

    // The slots ordered by name, entry order kept among equal names, so that the k-th contact
    // named T is k places after the first: one search per entry instead of a table scan.
    std::vector<std::string_view> names;
    std::vector<int> byName;
    for (int i = 0; i < m_table.Count(); ++i) {
        names.push_back(m_table.Text(i, ContactField::name));
        byName.push_back(i);
    }
    std::stable_sort(byName.begin(), byName.end(),
                     [&](int a, int b) { return names[a] < names[b]; });

    // Names met so far in the current run of entries that compare equal ignoring case, with
    // how often each was met; exact repeats of a name can only lie in its run.
    std::vector<std::pair<std::string, int>> run;
    for (int position = 0; position < count; ++position) {
        std::string name = m_list.GetText(position);
        if (!run.empty() && CompareNames(run.front().first, name) != 0)
            run.clear();
        auto met = std::find_if(run.begin(), run.end(),
                                [&](const auto& entry) { return entry.first == name; });
        if (met == run.end())
            met = run.insert(run.end(), {name, 0});
        const int occurrence = met->second++;

        const auto first =
            std::lower_bound(byName.begin(), byName.end(), name,
                             [&](int slot, const std::string& text) { return names[slot] < text; });
        if (byName.end() - first > occurrence && names[first[occurrence]] == name)
            indexes[static_cast<std::size_t>(position)] = first[occurrence];
    }
    return indexes;
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
        m_form[field].assign(m_table.Text(index, field)); // keeps the strings' buffers
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
