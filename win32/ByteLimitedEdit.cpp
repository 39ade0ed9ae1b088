#include "ByteLimitedEdit.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

namespace orvalen::win32 {
namespace {

bool IsHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// C0 and C1 controls and DEL: no phone-book text holds them, and a NUL would end it early.
bool IsControl(wchar_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
}

} // namespace

void CByteLimitedEdit::SetByteLimit(std::size_t limit) {
    m_limit = limit;
    // Every character takes at least one byte, so the edit itself can stop at the same count
    // of characters: a key pressed in a full field never reaches a change to undo.
    SendMessageW(m_edit, EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
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
    m_shownBytes = std::string(bytes);
    m_shownText = m_codec->ToDisplay(bytes);
    SetText(m_shownText);
}

std::string CByteLimitedEdit::Bytes() const {
    const std::wstring current = Text();
    if (current == m_shownText)
        return m_shownBytes;
    // Only a field shown with unreadable bytes and then edited can hold a character the code
    // page lacks (a replacement mark); it is stored as '?', as the field cannot say more.
    if (auto bytes = m_codec->ToBytes(current))
        return std::move(*bytes);
    return m_codec->ToBytesReplacing(current);
}

void CByteLimitedEdit::OnChange() {
    if (m_setting)
        return;
    const std::wstring input = Text();
    const std::wstring& before = m_accepted;

    // Find what this change inserted: the text between the parts it kept at both ends.
    const std::size_t shorter = std::min(before.size(), input.size());
    std::size_t prefix = 0;
    while (prefix < shorter && before[prefix] == input[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == input[input.size() - 1 - suffix])
        ++suffix;
    // Never split a surrogate pair between the kept and the inserted text.
    if (prefix > 0 && IsHighSurrogate(input[prefix - 1]))
        --prefix;
    if (suffix > 0 && IsLowSurrogate(input[input.size() - suffix]))
        --suffix;
    const std::wstring head = input.substr(0, prefix);
    const std::wstring tail = input.substr(input.size() - suffix);
    std::wstring inserted = input.substr(prefix, input.size() - prefix - suffix);

    std::optional<std::wstring> why;
    const std::size_t insertedLength = inserted.size();
    std::erase_if(inserted, IsControl);
    if (inserted.size() != insertedLength)
        why = m_label + L": no control characters";
    // Removing text is always allowed, so a field shown with unreadable bytes can be mended.
    if (!inserted.empty()) {
        const std::size_t keptBytes = m_codec->ToBytesReplacing(head + tail).size();
        const std::size_t room = keptBytes < m_limit ? m_limit - keptBytes : 0;
        if (const auto fitted = m_codec->Fit(inserted, room); !fitted) {
            why = Utf8ToUtf16(m_codec->CodePage().Name()) + L" has no character for " +
                  FirstUnheld(inserted);
            inserted.clear();
        } else {
            if (fitted->size() < inserted.size())
                why = FullText();
            inserted = *fitted;
        }
    }
    // Nothing refused or cut: the change stands as the edit made it, caret included.
    if (!why) {
        m_accepted = input;
        return;
    }
    if (inserted.empty() && insertedLength > 0) {
        // Nothing of the insertion is left: the field is as it was.
        SetText(before);
        SendMessageW(m_edit, EM_SETSEL, prefix, static_cast<LPARAM>(prefix));
    } else {
        SetText(head + inserted + tail);
        const WPARAM caret = head.size() + inserted.size();
        SendMessageW(m_edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
    }
    Refuse(*why);
}

std::wstring CByteLimitedEdit::FirstUnheld(std::wstring_view text) const {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t length =
            IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
        if (!m_codec->ToBytes(text.substr(i, length)))
            return std::wstring(text.substr(i, length));
        i += length - 1;
    }
    return std::wstring();
}

void CByteLimitedEdit::OnMaxText() {
    Refuse(FullText());
}

std::wstring CByteLimitedEdit::FullText() const {
    return m_label + L": " + std::to_wstring(m_limit) + L" bytes at most";
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
