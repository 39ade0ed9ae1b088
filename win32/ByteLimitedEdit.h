#pragma once

// An edit control holding one contact text, limited in bytes of the code page. Whatever the
// user inserts (typed, pasted, dropped, composed by an input method) is cut at the last whole
// character that fits, and control characters are left out of it; an insertion of which
// nothing is left, or that holds a character the code page lacks, is undone. Each refusal or
// cut beeps and says why in a balloon tip on the field.
// Requires the dialog to pass on its EN_CHANGE and EN_MAXTEXT notifications.

#include "WideText.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace orvalen::win32 {

class CByteLimitedEdit {
public:
    // Takes over the dialog's edit control; label is the field's name in what a refusal says
    // ("Mobile: 16 bytes at most"). Requires codec to outlive this object.
    void Attach(HWND edit, const CWideCodec& codec, std::wstring label) {
        m_edit = edit;
        m_codec = &codec;
        m_label = std::move(label);
    }
    HWND Handle() const { return m_edit; }

    void SetByteLimit(std::size_t limit);
    std::size_t ByteLimit() const { return m_limit; }

    // Shows bytes; until the user changes the text, Bytes gives them back exactly, even
    // where the code page cannot read them and the field shows replacement marks.
    void SetBytes(std::string_view bytes);
    std::string Bytes() const;

    void OnChange();
    // The edit's own character limit, an upper bound of the byte limit, refused a key.
    void OnMaxText();

private:
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    std::wstring FullText() const;
    // The first character of text the code page cannot hold.
    std::wstring FirstUnheld(std::wstring_view text) const;
    void Refuse(const std::wstring& reason) const;

    const CWideCodec* m_codec = nullptr;
    HWND m_edit = nullptr;
    std::size_t m_limit = 0;
    std::wstring m_label;
    std::wstring m_accepted; // the text before the change being checked
    bool m_setting = false;  // a change by the program, which needs no check
    std::wstring m_shownText;
    std::string m_shownBytes;
};

} // namespace orvalen::win32
