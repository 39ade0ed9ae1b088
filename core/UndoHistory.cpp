#include "UndoHistory.h"

#include <utility>

namespace orvalen {

BookSnapshot& CUndoHistory::Record() {
    BookSnapshot step;
    if (m_undo.size() >= kMaxSteps) {
        step = std::move(m_undo.front());
        m_undo.pop_front();
    } else if (!m_redo.empty()) {
        step = std::move(m_redo.back());
        m_redo.pop_back();
    }
    m_redo.clear();
    m_undo.push_back(std::move(step));
    return m_undo.back();
}

std::optional<BookSnapshot> CUndoHistory::Undo(BookSnapshot current) {
    if (m_undo.empty())
        return std::nullopt;
    m_redo.push_back(std::move(current));
    BookSnapshot target = std::move(m_undo.back());
    m_undo.pop_back();
    return target;
}

std::optional<BookSnapshot> CUndoHistory::Redo(BookSnapshot current) {
    if (m_redo.empty())
        return std::nullopt;
    m_undo.push_back(std::move(current));
    BookSnapshot target = std::move(m_redo.back());
    m_redo.pop_back();
    return target;
}

} // namespace orvalen
