#pragma once

// An edit control holding one contact text: whatever the user inserts (typed, pasted, dropped,
// composed by an input method) is checked by the field input rule (app/FieldInput.h), and the
// field shows what the rule gives. Each refusal or cut beeps and says why in a balloon tip.
// Requires the dialog to pass on its EN_CHANGE and EN_MAXTEXT notifications.

#include "ContactField.h"
#include "FieldInput.h"
#include "WideText.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace orvalen::win32 {

class CByteLimitedEdit {
public:
    // Takes over the dialog's edit control of field. Requires codec to outlive this object.
    void Attach(HWND edit, const CWideCodec& codec, ContactField field) {
        m_edit = edit;
        m_codec = &codec;
        m_field = field;
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
    void Refuse(const std::wstring& reason) const;

    const CWideCodec* m_codec = nullptr;
    HWND m_edit = nullptr;
    ContactField m_field = ContactField::name;
    std::size_t m_limit = 0;
    std::wstring m_accepted; // the text before the change being checked
    bool m_setting = false;  // a change by the program, which needs no check
    CFieldBytes m_bytes;
};

} // namespace orvalen::win32
