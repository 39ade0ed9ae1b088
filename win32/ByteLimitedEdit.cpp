#include "ByteLimitedEdit.h"

#include "FieldInput.h"
#include "Texts.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>

namespace orvalen::win32 {
void CByteLimitedEdit::SetByteLimit(std::size_t limit) {
    m_limit = limit;
    // Every character takes at least one byte, so the edit itself can stop at the same count
    // of characters: a key pressed in a full field never reaches a change to undo. A number
    // field takes a longer paste whole, for the rule to take out its blanks or refuse it: cut
    // by the edit, it would become another number.
    const bool number = m_field != ContactField::name && m_field != ContactField::email;
    SendMessageW(m_edit, EM_SETLIMITTEXT, number ? 0 : static_cast<WPARAM>(limit), 0);
}

std::wstring CByteLimitedEdit::Text() const {
    const int length = GetWindowTextLengthW(m_edit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(m_edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

void CByteLimitedEdit::SetText(const std::wstring& text) {
    m_setting = true;
    SetWindowTextW(m_edit, text.c_str());
    m_setting = false;
    m_accepted = text;
}

void CByteLimitedEdit::SetBytes(std::string_view bytes) {
    SetText(Utf8ToUtf16(m_bytes.Show(bytes, m_codec->CodePage())));
}

std::string CByteLimitedEdit::Bytes() const {
    // A lone surrogate, which no code page holds, is stored as '?'.
    const std::wstring current = Text();
    if (const auto utf8 = Utf16ToUtf8(current))
        return m_bytes.Bytes(*utf8, m_codec->CodePage());
    return m_codec->ToBytesReplacing(current);
}

void CByteLimitedEdit::OnChange() {
    if (m_setting)
        return;
    const std::wstring input = Text();
    const std::optional<std::string> before = Utf16ToUtf8(m_accepted);
    const std::optional<std::string> after = Utf16ToUtf8(input);
    FieldInput checked;
    if (before && after)
        checked = CheckFieldInput(m_field, m_limit, *before, *after, m_codec->CodePage());
    else
        checked.verdict = InputVerdict::refuse; // a lone surrogate, which no code page holds
    switch (checked.verdict) {
    case InputVerdict::accept:
        m_accepted = input;
        break;
    case InputVerdict::refuse: {
        // The field is as it was, the caret where the change began.
        DWORD start = 0;
        SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        const std::wstring previous = m_accepted;
        SetText(previous);
        const WPARAM caret = std::min<std::size_t>(start, previous.size());
        SendMessageW(m_edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
        break;
    }
    case InputVerdict::amend: {
        SetText(Utf8ToUtf16(checked.text));
        const WPARAM caret = Utf8ToUtf16(checked.text.substr(0, checked.caret)).size();
        SendMessageW(m_edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
        break;
    }
    }
    if (!checked.why.empty())
        Refuse(Utf8ToUtf16(checked.why));
}

void CByteLimitedEdit::OnMaxText() {
    Refuse(Utf8ToUtf16(FieldLimitText(m_field, m_limit, m_codec->CodePage())));
}

void CByteLimitedEdit::Refuse(const std::wstring& reason) const {
    MessageBeep(MB_OK);
    EDITBALLOONTIP tip{};
    tip.cbStruct = sizeof tip;
    tip.pszTitle = L"Orvalen";
    tip.pszText = reason.c_str();
    tip.ttiIcon = TTI_INFO;
    SendMessageW(m_edit, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip));
}

} // namespace orvalen::win32
