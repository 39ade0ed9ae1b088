#include "BookEditor.h"

#include "Messages.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace orvalen {

std::string_view FieldText(std::string_view text, std::size_t limit,
                           const CNameCollation& collation) {
    text = text.substr(0, text.find('\0'));
    std::size_t end = 0;
    while (end < text.size()) {
        const bool pair = collation.IsDoubleByteLead(static_cast<unsigned char>(text[end])) &&
                          end + 1 < text.size();
        const std::size_t width = pair ? 2 : 1;
        if (end + width > limit)
            break;
        end += width;
    }
    return text.substr(0, end);
}

namespace {

// Cuts every text of form to what its field stores, so that a view's text (over-long, holding
// a NUL) is listed exactly as it is stored.
void CutToFields(ContactForm& form, const CNameCollation& collation) {
    for (ContactField field : kAllFields) {
        std::string& text = form[field];
        text.resize(FieldText(text, MaxLength(field), collation).size());
    }
}

} // namespace

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
    std::vector<int> indexes;
    std::map<std::string, int> seen; // entries of each name met so far
    for (int position = 0; position < m_list.GetCount(); ++position) {
        const std::string name = m_list.GetText(position);
        indexes.push_back(m_table.Find(name, seen[name]++));
    }
    return indexes;
}

void CBookEditor::Add() {
    m_view.ReadForm(m_form);
    CutToFields(m_form, m_list.Collation());
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

int CBookEditor::Import(std::span<const ContactForm> contacts, RepeatedNames repeated) {
    int leftOut = 0;
    int last = CContactTable::kNone;
    // The whole import is one undo step, recorded before its first change.
    auto changing = [this, recorded = false]() mutable {
        if (!std::exchange(recorded, true))
            RecordStep();
    };
    for (ContactForm form : contacts) {
        // Listed exactly as stored, as typed texts are.
        CutToFields(form, m_list.Collation());
        const std::string& name = form[ContactField::name];
        if (name.empty())
            continue;
        const int existing = m_table.Find(name);
        if (existing != CContactTable::kNone && repeated != RepeatedNames::addAsWell) {
            if (repeated != RepeatedNames::skip) {
                changing();
                if (repeated == RepeatedNames::merge) {
                    // A field the incoming contact lacks keeps what the phone book holds, bytes
                    // and all: phones rarely export QQ or fax numbers typed here.
                    for (ContactField field : kAllFields) {
                        if (field != ContactField::name && !form[field].empty())
                            m_table.StoreText(existing, field, form[field]);
                    }
                } else {
                    m_table.UpdateDetails(existing, form);
                }
                last = existing;
            }
            continue;
        }
        if (m_table.Count() >= kMaxContacts) {
            ++leftOut;
            continue;
        }
        changing();
        m_list.AddString(name);
        m_table.Append(form);
        last = m_table.Count() - 1;
    }
    if (last == CContactTable::kNone)
        return leftOut;

    // Entries of one name stand for its contacts in table order, so the entry of the last one
    // is found among the list's mapping, wherever later names were sorted in around it.
    const std::vector<int> listed = FindAllListed();
    const auto entry = std::find(listed.begin(), listed.end(), last);
    if (entry != listed.end())
        m_list.SetCurSel(static_cast<int>(entry - listed.begin()));
    ShowContact(last);
    return leftOut;
}

void CBookEditor::ShowContact(int index) {
    for (ContactField field : kAllFields)
        m_form[field].assign(m_table.Text(index, field));
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

void CBookEditor::ShowLast() {
    if (m_list.GetCount() == 0) {
        WriteForm();
        return;
    }
    m_list.SetCurSel(m_list.GetCount() - 1);
    ShowSelected();
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
    // Clearing what is already empty changes nothing: no step, and the book stays as saved.
    if (m_table.Count() == 0) {
        ContactForm shown;
        m_view.ReadForm(shown);
        if (shown == ContactForm{}) {
            WriteForm();
            return;
        }
    }
    RecordStep();
    Empty();
    WriteForm();
}

void CBookEditor::Empty() {
    m_list.ResetContent();
    m_form.ClearTexts();
    m_table.Clear();
}

void CBookEditor::ReplaceRecords(std::span<const char> packed) {
    // One undo step brings back the whole phone book as it was before.
    RecordStep();
    Empty();
    const std::size_t records =
        std::min(packed.size() / CContactTable::kPackedSize, std::size_t{kMaxContacts});
    for (std::size_t r = 0; r < records; ++r) {
        const std::string_view record(packed.data() + r * CContactTable::kPackedSize,
                                      CContactTable::kPackedSize);
        const int index = m_table.Count();
        // The table's own text of the stored name, so the entry is that name and no longer.
        m_list.AddString(m_table.StorePacked(index, record));
        m_table.SetCount(index + 1);
    }
    ShowLast();
}

int CBookEditor::AppendContacts(std::span<const ContactForm> contacts) {
    if (contacts.empty())
        return 0;
    RecordStep();
    int taken = 0;
    for (ContactForm contact : contacts) {
        if (m_table.Count() >= kMaxContacts)
            break;
        CutToFields(contact, m_list.Collation());
        m_list.AddString(contact[ContactField::name]);
        m_table.Append(contact);
        ++taken;
    }
    ShowLast();
    return taken;
}

std::optional<std::string> CBookEditor::ListedTexts() const {
    if (m_list.GetCount() != m_table.Count())
        return std::nullopt;
    std::string texts;
    for (const int index : FindAllListed()) {
        if (index == CContactTable::kNone)
            return std::nullopt;
        for (ContactField field : kAllFields)
            (texts += m_table.Text(index, field)) += '\0';
    }
    return texts;
}

bool CBookEditor::IsModified() const {
    const std::optional<std::string> now = ListedTexts();
    return !now || !m_saved || *now != *m_saved;
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
