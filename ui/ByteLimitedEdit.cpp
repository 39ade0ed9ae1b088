#include "ByteLimitedEdit.h"

#include "FieldInput.h"

#include <QApplication>
#include <QKeyEvent>
#include <QToolTip>

namespace orvalen {

CByteLimitValidator::CByteLimitValidator(const CTextCodec& codec, CByteLimitedEdit& edit)
    : QValidator(&edit), m_codec(codec), m_edit(edit) {}

namespace {

constexpr int kRefusalShowMs = 4000;

} // namespace

QValidator::State CByteLimitValidator::validate(QString& input, int& pos) const {
    if (m_edit.m_setting)
        return Acceptable;
    const FieldInput checked =
        CheckFieldInput(m_edit.m_field, m_edit.m_limit, m_edit.m_accepted.toStdString(),
                        input.toStdString(), m_codec.CodePage());
    if (!checked.why.empty())
        m_edit.SayRefused(QString::fromStdString(checked.why));
    switch (checked.verdict) {
    case InputVerdict::accept:
        return Acceptable;
    case InputVerdict::refuse:
        return Invalid;
    case InputVerdict::amend:
        break;
    }
    input = QString::fromStdString(checked.text);
    pos = static_cast<int>(QString::fromStdString(checked.text.substr(0, checked.caret)).size());
    return Acceptable;
}

CByteLimitedEdit::CByteLimitedEdit(const CTextCodec& codec, ContactField field, QWidget* parent)
    : QLineEdit(parent), m_codec(codec), m_field(field) {
    setValidator(new CByteLimitValidator(codec, *this));
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_accepted = text; });
}

void CByteLimitedEdit::SetBytes(std::string_view bytes) {
    m_setting = true;
    setText(QString::fromStdString(m_bytes.Show(bytes, m_codec.CodePage())));
    m_setting = false;
    m_accepted = text();
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
    return m_bytes.Bytes(text().toStdString(), m_codec.CodePage());
}

} // namespace orvalen
