#include "ByteLimitedEdit.h"

#include <commctrl.h>

#include <algorithm>

namespace orvalen::win32 {
namespace {

bool IsHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
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
    if (const auto bytes = m_codec->ToBytes(input); bytes && bytes->size() <= m_limit) {
        m_accepted = input;
        return;
    }

    // Find what this change inserted: the text between the parts it kept at both ends.
    const std::wstring& before = m_accepted;
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
    const std::wstring_view whole(input);
    const std::wstring_view inserted = whole.substr(prefix, input.size() - prefix - suffix);
    // Removing text is always allowed, so a field shown with unreadable bytes can be mended.
    if (inserted.empty()) {
        m_accepted = input;
        return;
    }

    const std::wstring kept =
        std::wstring(whole.substr(0, prefix)) + std::wstring(whole.substr(input.size() - suffix));
    const std::size_t keptBytes = m_codec->ToBytesReplacing(kept).size();
    const std::size_t room = keptBytes < m_limit ? m_limit - keptBytes : 0;
    const auto fitted = m_codec->Fit(inserted, room);
    const std::wstring result = std::wstring(whole.substr(0, prefix)) + fitted.value_or(L"") +
                                std::wstring(whole.substr(input.size() - suffix));
    const auto caret = static_cast<WPARAM>(prefix + (fitted ? fitted->size() : 0));
    SetText(fitted && !fitted->empty() ? result : before);
    SendMessageW(m_edit, EM_SETSEL, fitted && !fitted->empty() ? caret : prefix,
                 static_cast<LPARAM>(fitted && !fitted->empty() ? caret : prefix));
    Refuse(fitted ? FullText() : L"The player's code page has no such character.");
}

void CByteLimitedEdit::OnMaxText() {
    Refuse(FullText());
}

std::wstring CByteLimitedEdit::FullText() const {
    return L"This field holds at most " + std::to_wstring(m_limit) + L" bytes.";
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
