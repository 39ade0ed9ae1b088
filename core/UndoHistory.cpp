#include "UndoHistory.h"

#include <utility>

namespace orvalen {

void CUndoHistory::Record(BookSnapshot before) {
    before.version = m_version;
    m_undo.push_back(std::move(before));
    if (m_undo.size() > kMaxSteps)
        m_undo.pop_front();
    m_redo.clear();
    m_version = ++m_lastVersion;
}

std::optional<BookSnapshot> CUndoHistory::Undo(BookSnapshot current) {
    if (m_undo.empty())
        return std::nullopt;
    current.version = m_version;
    m_redo.push_back(std::move(current));
    BookSnapshot target = std::move(m_undo.back());
    m_undo.pop_back();
    m_version = target.version;
    return target;
}

std::optional<BookSnapshot> CUndoHistory::Redo(BookSnapshot current) {
    if (m_redo.empty())
        return std::nullopt;
    current.version = m_version;
    m_undo.push_back(std::move(current));
    BookSnapshot target = std::move(m_redo.back());
    m_redo.pop_back();
    m_version = target.version;
    return target;
}

} // namespace orvalen
