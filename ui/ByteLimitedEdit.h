#pragma once

#include "TextCodec.h"

#include <QLineEdit>
#include <QValidator>

#include <cstddef>
#include <string>
#include <string_view>

namespace orvalen {

class CByteLimitedEdit;

// Lets an edit change only into text that the code page holds within the byte limit. What the
// user inserts (typed, pasted or dropped) is cut at the last whole character that fits, and
// control characters are left out of it; an insertion of which nothing is left, or that holds a
// character the code page lacks, is refused. Each refusal or cut is said through the edit.
class CByteLimitValidator final : public QValidator {
public:
    CByteLimitValidator(const CTextCodec& codec, CByteLimitedEdit& edit);

    State validate(QString& input, int& pos) const override;

private:
    const CTextCodec& m_codec;
    CByteLimitedEdit& m_edit;
};

// An edit field for one contact text, limited in bytes of the code page.
// A refused or cut input beeps and says why in a tooltip beside the field.
class CByteLimitedEdit final : public QLineEdit {
    Q_OBJECT

public:
    CByteLimitedEdit(const CTextCodec& codec, QWidget* parent);

    // The field's name in what a refusal says ("Mobile: 16 bytes at most").
    void SetFieldLabel(const QString& label) { m_label = label; }

    void SetByteLimit(std::size_t limit) { m_limit = limit; }
    std::size_t ByteLimit() const { return m_limit; }

    // Shows bytes; until the user changes the text, Bytes gives them back exactly, even
    // where the code page cannot read them and the field shows replacement marks.
    void SetBytes(std::string_view bytes);
    std::string Bytes() const;

signals:
    void Refused(const QString& why);

protected:
    // Ctrl+Z and the redo keys are the field's own only while it has typing to undo or redo;
    // otherwise they go to the window, which undoes its last command.
    bool event(QEvent* event) override;

private:
    friend class CByteLimitValidator;

    // The number of bytes Bytes would give for text.
    std::size_t StoredLength(const QString& text) const;
    void SayRefused(const QString& why);

    const CTextCodec& m_codec;
    std::size_t m_limit = 0;
    QString m_label;
    QString m_accepted;     // the text before the change being validated
    bool m_setting = false; // a program change, which the validator lets through
    QString m_shownText;
    std::string m_shownBytes;
};

} // namespace orvalen
