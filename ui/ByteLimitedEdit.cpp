#include "ByteLimitedEdit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QToolTip>

#include <algorithm>
#include <optional>

namespace orvalen {

CByteLimitValidator::CByteLimitValidator(const CTextCodec& codec, CByteLimitedEdit& edit)
    : QValidator(&edit), m_codec(codec), m_edit(edit) {}

namespace {

constexpr int kRefusalShowMs = 4000;

// C0 and C1 controls and DEL: no phone-book text holds them, and a NUL would end it early.
bool IsControl(QChar c) {
    return c.category() == QChar::Other_Control;
}

} // namespace

QValidator::State CByteLimitValidator::validate(QString& input, int& pos) const {
    if (m_edit.m_setting)
        return Acceptable;
    const std::size_t limit = m_edit.m_limit;
    const int bytes = static_cast<int>(limit);
    //: Tooltip when a field refuses or cuts input. %1 is the field's label without its colon
    //: ("Mobile"), %n the field's size in bytes of the player's code page.
    const QString tooLong =
        QCoreApplication::translate("Orvalen", "%1: %n bytes at most", nullptr, bytes)
            .arg(m_edit.m_label);
    std::optional<QString> why;

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
    QString inserted = input.mid(prefix, input.size() - prefix - suffix);
    QString head = input.left(prefix);
    QString tail = input.right(suffix);

    // A field shown with unreadable bytes shows them as replacement marks. Once edited, the
    // marks are stored as '?' where the code page lacks them; where it has them (UTF-8), each
    // would take three bytes and the text could outgrow the field. Then they become '?' on
    // the screen as well, so what is shown is what is stored.
    if (m_edit.StoredLength(head + tail) > limit) {
        head.replace(QChar::ReplacementCharacter, QLatin1Char('?'));
        tail.replace(QChar::ReplacementCharacter, QLatin1Char('?'));
        why = tooLong;
    }
    const qsizetype insertedLength = inserted.size();
    inserted.removeIf(IsControl);
    if (inserted.size() != insertedLength)
        //: Tooltip when pasted text held control characters, which were left out. %1 is the
        //: field's label without its colon.
        why =
            QCoreApplication::translate("Orvalen", "%1: no control characters").arg(m_edit.m_label);

    State state = Acceptable;
    if (!inserted.isEmpty()) {
        const std::size_t keptBytes = m_edit.StoredLength(head + tail);
        const std::size_t room = keptBytes < limit ? limit - keptBytes : 0;
        if (const auto fitted = m_codec.Fit(inserted, room); !fitted) {
            for (qsizetype i = 0; i < inserted.size(); ++i) {
                const qsizetype length =
                    inserted.at(i).isHighSurrogate() && i + 1 < inserted.size() ? 2 : 1;
                const QString character = inserted.mid(i, length);
                if (!m_codec.ByteLength(character)) {
                    //: Tooltip when a typed character cannot be written in the player's code
                    //: page. %1 is the code page ("GBK"), %2 the character.
                    why = QCoreApplication::translate("Orvalen", "%1 has no character for %2")
                              .arg(QString::fromStdString(m_codec.CodePage().Name()), character);
                    break;
                }
                i += length - 1;
            }
            state = Invalid;
        } else {
            if (fitted->size() < inserted.size())
                why = tooLong;
            if (fitted->isEmpty())
                state = Invalid;
            inserted = *fitted;
        }
    } else if (insertedLength > 0) {
        state = Invalid; // nothing but control characters
    }
    // Nothing refused or cut: the change stands as the edit made it, cursor included.
    if (!why)
        return Acceptable;
    m_edit.SayRefused(*why);
    if (state == Invalid)
        return Invalid;
    input = head + inserted + tail;
    pos = static_cast<int>(head.size() + inserted.size());
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

std::size_t CByteLimitedEdit::StoredLength(const QString& text) const {
    if (const auto length = m_codec.ByteLength(text))
        return *length;
    return m_codec.ToBytesReplacing(text).size();
}

void CByteLimitedEdit::SayRefused(const QString& why) {
    QApplication::beep();
    QToolTip::showText(mapToGlobal(QPoint(width(), 0)), why, this, QRect(), kRefusalShowMs);
    emit Refused(why);
}

bool CByteLimitedEdit::event(QEvent* event) {
    const bool handled = QLineEdit::event(event);
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool redoKey =
            key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y) ||
            key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
        if ((key->matches(QKeySequence::Undo) && !isUndoAvailable()) ||
            (redoKey && !isRedoAvailable()))
            event->ignore();
    }
    return handled;
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
