#pragma once

// The window's undo, redo and "unsaved changes" questions to the editor. The editor answers
// them once it keeps a history; until then nothing can be undone and nothing is unsaved.

namespace orvalen::win32 {

template <typename Editor> bool CanUndo(const Editor& editor) {
    if constexpr (requires { editor.CanUndo(); })
        return editor.CanUndo();
    else
        return false;
}

template <typename Editor> bool CanRedo(const Editor& editor) {
    if constexpr (requires { editor.CanRedo(); })
        return editor.CanRedo();
    else
        return false;
}

template <typename Editor> bool IsModified(const Editor& editor) {
    if constexpr (requires { editor.IsModified(); })
        return editor.IsModified();
    else
        return false;
}

template <typename Editor> void Undo(Editor& editor) {
    if constexpr (requires { editor.Undo(); })
        editor.Undo();
}

template <typename Editor> void Redo(Editor& editor) {
    if constexpr (requires { editor.Redo(); })
        editor.Redo();
}

} // namespace orvalen::win32
