#include "ByteLimitedEdit.h"

#include <algorithm>

namespace orvalen {

CByteLimitValidator::CByteLimitValidator(const CTextCodec& codec, CByteLimitedEdit& edit)
    : QValidator(&edit), m_codec(codec), m_edit(edit) {}

QValidator::State CByteLimitValidator::validate(QString& input, int& pos) const {
    if (m_edit.m_setting)
        return Acceptable;
    const std::size_t limit = m_edit.m_limit;
    if (const auto length = m_codec.ByteLength(input); length && *length <= limit)
        return Acceptable;

    // Find what this change inserted: the text between the parts it kept at both ends.
    const QString& before = m_edit.m_accepted;
    const qsizetype shorter = std::min(before.size(), input.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before.at(prefix) == input.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before.at(before.size() - 1 - suffix) == input.at(input.size() - 1 - suffix))
        ++suffix;
    // Never split a surrogate pair between the kept and the inserted text.
    if (prefix > 0 && input.at(prefix - 1).isHighSurrogate())
        --prefix;
    if (suffix > 0 && input.at(input.size() - suffix).isLowSurrogate())
        --suffix;
    const QString inserted = input.mid(prefix, input.size() - prefix - suffix);
    // Removing text is always allowed, so a field shown with unreadable bytes can be mended.
    if (inserted.isEmpty())
        return Acceptable;

    const QString kept = input.left(prefix) + input.right(suffix);
    const std::size_t keptBytes = m_codec.ToBytesReplacing(kept).size();
    const std::size_t room = keptBytes < limit ? limit - keptBytes : 0;
    const auto fitted = m_codec.Fit(inserted, room);
    if (!fitted || fitted->isEmpty())
        return Invalid;
    input = input.left(prefix) + *fitted + input.right(suffix);
    pos = static_cast<int>(prefix + fitted->size());
    return Acceptable;
}

CByteLimitedEdit::CByteLimitedEdit(const CTextCodec& codec, QWidget* parent)
    : QLineEdit(parent), m_codec(codec) {
    setValidator(new CByteLimitValidator(codec, *this));
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_accepted = text; });
}

void CByteLimitedEdit::SetBytes(std::string_view bytes) {
    m_shownBytes = std::string(bytes);
    m_shownText = m_codec.ToDisplay(bytes);
    m_setting = true;
    setText(m_shownText);
    m_setting = false;
    m_accepted = m_shownText;
}

std::string CByteLimitedEdit::Bytes() const {
    const QString current = text();
    if (current == m_shownText)
        return m_shownBytes;
    // Only a field shown with unreadable bytes and then edited can hold a character the code
    // page lacks (a replacement mark); it is stored as '?', as the field cannot say more.
    if (auto bytes = m_codec.ToBytes(current))
        return std::move(*bytes);
    return m_codec.ToBytesReplacing(current);
}

} // namespace orvalen
