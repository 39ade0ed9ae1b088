#pragma once

#include "ContactForm.h"
#include "ContactTable.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvalen {

// Everything a phone-book command changes and undo brings back: the table whole (a loaded
// record's bytes after its terminators included, as they reach saved files), the list's
// entries in order, its selection, and the form the window showed. The count display shows the
// table's count.
struct BookSnapshot {
    std::unique_ptr<CContactTable> table; // held apart, so a step moves without copying it
    std::vector<std::string> entries;
    int selection = -1;
    ContactForm form;
};

// The undo and redo steps of the phone-book commands. A new step drops the redo steps, and
// beyond kMaxSteps the oldest step goes.
class CUndoHistory {
public:
    static constexpr std::size_t kMaxSteps = 100;

    // A new undo step, to be filled with the state just before a command changes it. It reuses
    // the storage of a step that goes, so a full history costs no allocation per command.
    BookSnapshot& Record();
    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // Each takes the state shown now, keeps it for the way back, and gives the state to show;
    // nothing when there is no step that way.
    std::optional<BookSnapshot> Undo(BookSnapshot current);
    std::optional<BookSnapshot> Redo(BookSnapshot current);

private:
    std::deque<BookSnapshot> m_undo;
    std::deque<BookSnapshot> m_redo;
};

} // namespace orvalen
