#include "BookEditor.h"

#include "Messages.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
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
        if (m_list.Collation().Compare(text, name) != 0)
            break;
        if (text == name)
            ++occurrence;
    }
    return m_table.Find(name, occurrence);
}

std::vector<int> CBookEditor::FindAllListed() const {
    const int count = m_list.GetCount();
    std::vector<int> indexes(static_cast<std::size_t>(std::max(count, 0)), CContactTable::kNone);

    // The table's names in an open-addressing hash table. Each distinct name keeps its slots in
    // entry order and a cursor into them, so the k-th entry named T takes the k-th contact named
    // T, as FindListed does, with one lookup per entry instead of a table scan.
    struct Name {
        std::string_view text;
        int next = CContactTable::kNone; // the name's next slot not yet taken by an entry
        int last = CContactTable::kNone; // its last slot; kNone while the bucket is free
    };
    constexpr std::size_t kBuckets = 512; // a power of two, at least twice kMaxContacts
    static_assert(kBuckets >= 2 * kMaxContacts && (kBuckets & (kBuckets - 1)) == 0);
    std::vector<Name> names(kBuckets);
    std::array<int, kMaxContacts> sameNameAfter{};
    const auto bucketOf = [&](std::string_view text) {
        std::size_t bucket = std::hash<std::string_view>{}(text) & (kBuckets - 1);
        while (names[bucket].last != CContactTable::kNone && names[bucket].text != text)
            bucket = (bucket + 1) & (kBuckets - 1);
        return bucket;
    };

    for (int slot = 0; slot < m_table.Count(); ++slot) {
        const std::string_view text = m_table.Text(slot, ContactField::name);
        Name& name = names[bucketOf(text)];
        sameNameAfter[static_cast<std::size_t>(slot)] = CContactTable::kNone;
        if (name.last == CContactTable::kNone)
            name = {text, slot, slot};
        else
            sameNameAfter[static_cast<std::size_t>(std::exchange(name.last, slot))] = slot;
    }
    for (int position = 0; position < count; ++position) {
        Name& name = names[bucketOf(m_list.GetText(position))];
        if (name.next == CContactTable::kNone)
            continue;
        indexes[static_cast<std::size_t>(position)] = name.next;
        name.next = sameNameAfter[static_cast<std::size_t>(name.next)];
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
        RecordStep();
        m_table.UpdateDetails(existing, m_form);
        return;
    }
    if (m_table.Count() >= kMaxContacts) {
        m_view.ShowMessage(messages::kOverflow, MessageIcon::warning, MessageButtons::ok);
        return;
    }

    RecordStep();
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

    RecordStep();
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
    RecordStep();
    m_list.ResetContent();
    m_form.ClearTexts();
    m_table.Clear();
    WriteForm();
}

// Fills snapshot in place, keeping the storage it has.
void CBookEditor::TakeSnapshot(BookSnapshot& snapshot) {
    if (snapshot.table)
        *snapshot.table = m_table;
    else
        snapshot.table = std::make_unique<CContactTable>(m_table);
    const int count = std::max(m_list.GetCount(), 0);
    snapshot.entries.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        snapshot.entries[static_cast<std::size_t>(i)] = m_list.GetText(i);
    snapshot.selection = m_list.GetCurSel();
    // What the fields show, typed or not: undo brings back what the user saw.
    m_view.ReadForm(snapshot.form);
}

void CBookEditor::Restore(const BookSnapshot& snapshot) {
    m_table = *snapshot.table;
    // The entries come back in their order: each goes after those that sort equal to it, so
    // repeated names keep the contacts they stand for.
    m_list.ResetContent();
    for (const std::string& entry : snapshot.entries)
        m_list.AddString(entry);
    m_list.SetCurSel(snapshot.selection);
    m_form = snapshot.form;
    WriteForm();
}

void CBookEditor::RecordStep() {
    TakeSnapshot(m_history.Record());
}

void CBookEditor::Undo() {
    if (!m_history.CanUndo())
        return;
    BookSnapshot now;
    TakeSnapshot(now);
    if (auto before = m_history.Undo(std::move(now)))
        Restore(*before);
}

void CBookEditor::Redo() {
    if (!m_history.CanRedo())
        return;
    BookSnapshot now;
    TakeSnapshot(now);
    if (auto after = m_history.Redo(std::move(now)))
        Restore(*after);
}

} // namespace orvalen
