#pragma once

// The editing commands behind the main window's buttons and list, and the one keeper of the
// agreement between the name list and the contact table: every change of either goes through
// here, so each list entry is byte for byte the name of its own contact. Each command runs to
// its end, reports through the view, and leaves the list and the table holding the same
// contacts. Requires a list and a view that outlive the editor.

#include "BookView.h"
#include "ContactForm.h"
#include "ContactTable.h"
#include "NameList.h"
#include "UndoHistory.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen {

// What an import does with a contact whose name is already in the phone book.
enum class RepeatedNames {
    merge,     // its non-empty fields replace those of the contact of that name, the rest stay
    update,    // its numbers replace those of the contact of that name, as "Add >>" does
    skip,      // it is left out
    addAsWell, // it becomes a further contact of the same name
};

class CBookEditor {
public:
    CBookEditor(CNameList& list, IBookView& view) : m_list(list), m_view(view) {}
    CBookEditor(const CBookEditor&) = delete;
    CBookEditor& operator=(const CBookEditor&) = delete;

    void Add();
    void ShowSelected();
    void Delete();
    void Clear();

    // Replaces the phone book with packed records (the six fields back to back at their
    // maximum lengths, as a .tel record holds them), in file order; at most kMaxContacts are
    // taken and a partial record is ignored. Then the last name in sorted order is shown.
    void ReplaceRecords(std::span<const char> packed);
    // Appends contacts in their order while there is room, their texts cut as typed ones are;
    // returns how many were taken. Then the last name in sorted order is shown.
    int AppendContacts(std::span<const ContactForm> contacts);
    // Enters contacts in their order as "Add >>" would one by one, without its questions: a new
    // name is sorted into the list and appended to the table; a name the phone book already
    // holds (including one entered earlier in the same import) is treated as repeated says.
    // Texts are cut as typed ones are, and a contact without a name is passed over. A contact
    // that needs a place once the phone book is full is left out. The whole import is one undo
    // step. The last contact entered is selected and shown, with the count. Returns how many
    // contacts were left out for room.
    int Import(std::span<const ContactForm> contacts, RepeatedNames repeated);

    // Undo and redo of the commands that change the table or the list (Add of a new name or an
    // update, Delete, Clear, Load, Import): each brings back the table byte for byte, the list, its
    // selection, the form and the count as they were. They do nothing when there is no step.
    void Undo();
    void Redo();
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    // Called by a command just before its first change: the phone book as it is now becomes
    // the step its undo goes back to.
    void RecordStep();
    // Modified: the contacts, in list order, differ in their texts from those of the last file
    // saved or loaded (or from the empty book at start), however the book got there: typing
    // in the form, an update to the same details, or undo back to the saved book is no change.
    // Bytes after a text's terminator are not compared. MarkSaved follows a successful save or
    // load of the phone-book file.
    bool IsModified() const;
    void MarkSaved();

    // The table index of the contact that list entry listIndex stands for, or kNone. The k-th
    // entry named exactly T stands for the k-th contact named T, so repeated names (a loaded
    // file may hold them) each keep their own details.
    int FindListed(int listIndex) const;
    // FindListed of every entry, in list order: what the file writers use.
    std::vector<int> FindAllListed() const;

    const CContactTable& Table() const { return m_table; }
    const CNameList& List() const { return m_list; }
    // The form is what WriteForm shows; the commands read it afresh from the view.
    ContactForm& Form() { return m_form; }
    const ContactForm& Form() const { return m_form; }
    IBookView& View() { return m_view; }

    void WriteForm() { m_view.WriteForm(m_form, m_table.Count()); }

private:
    // Empties the list, the form and the table; the view shows it at the next WriteForm.
    void Empty();
    void ShowContact(int index);
    // Selects and shows the last entry in sorted order, or the empty form when there is none.
    void ShowLast();
    void TakeSnapshot(BookSnapshot& snapshot);
    // Called with the book as it is just before a change: while that is the saved book, it is
    // kept for IsModified to compare with. Then the book counts as changed.
    void KeepSavedBook(const BookSnapshot& before);
    void Restore(const BookSnapshot& snapshot);

    ContactForm m_form;
    CContactTable m_table;
    CNameList& m_list;
    IBookView& m_view;
    CUndoHistory m_history;
    // Every change of the table or the list gets a new version. The saved book itself is copied
    // only at its first change, so a save or a load costs no copy.
    std::uint64_t m_version = 0;
    std::uint64_t m_savedVersion = 0;
    BookSnapshot m_saved;
};

// The part of text that a field of limit bytes stores: up to the first zero byte, and no longer
// than limit without splitting a double-byte character of the collation's code page. What is
// listed and what is stored are both this text.
std::string_view FieldText(std::string_view text, std::size_t limit,
                           const CNameCollation& collation);

} // namespace orvalen
