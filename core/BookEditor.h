#pragma once

#include "BookView.h"
#include "ContactForm.h"
#include "ContactTable.h"
#include "NameList.h"
#include "UndoHistory.h"

#include <vector>

namespace orvalen {

// The editing commands behind the main window's buttons and list. Each runs to its end,
// reports through the view, and leaves the list and the table holding the same contacts.
class CBookEditor {
public:
    CBookEditor(CNameList& list, IBookView& view) : m_list(list), m_view(view) {}
    CBookEditor(const CBookEditor&) = delete;
    CBookEditor& operator=(const CBookEditor&) = delete;

    void Add();
    void ShowSelected();
    void Delete();
    void Clear();

    // Undo and redo of the commands that change the table or the list (Add of a new name or an
    // update, Delete, Clear, Load): each brings back the table byte for byte, the list, its
    // selection, the form and the count as they were. They do nothing when there is no step.
    void Undo();
    void Redo();
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    // Called by a command just before its first change: the phone book as it is now becomes
    // the step its undo goes back to.
    void RecordStep();
    // Modified: the phone book differs from the last file saved or loaded (or from the empty
    // book at start). MarkSaved follows a successful save or load of the phone-book file.
    bool IsModified() const { return m_history.IsModified(); }
    void MarkSaved() { m_history.MarkSaved(); }

    // The table index of the contact that list entry listIndex stands for, or kNone. The k-th
    // entry named exactly T stands for the k-th contact named T, so repeated names (a loaded
    // file may hold them) each keep their own details.
    int FindListed(int listIndex) const;
    // FindListed of every entry, in list order, in one pass: what the file writers use.
    std::vector<int> FindAllListed() const;

    CContactTable& Table() { return m_table; }
    const CContactTable& Table() const { return m_table; }
    ContactForm& Form() { return m_form; }
    const ContactForm& Form() const { return m_form; }
    CNameList& List() { return m_list; }
    const CNameList& List() const { return m_list; }
    IBookView& View() { return m_view; }

    void WriteForm() { m_view.WriteForm(m_form, m_table.Count()); }

private:
    void ShowContact(int index);
    void TakeSnapshot(BookSnapshot& snapshot);
    void Restore(const BookSnapshot& snapshot);

    ContactForm m_form;
    CContactTable m_table;
    CNameList& m_list;
    IBookView& m_view;
    CUndoHistory m_history;
};

} // namespace orvalen
