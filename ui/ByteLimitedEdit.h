#pragma once

#include "ContactField.h"
#include "FieldInput.h"
#include "TextCodec.h"

#include <QLineEdit>
#include <QValidator>

#include <cstddef>
#include <string>
#include <string_view>

namespace orvalen {

class CByteLimitedEdit;

// Lets an edit change only as the field input rule (app/FieldInput.h) allows; each refusal or
// cut is said through the edit.
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
    CByteLimitedEdit(const CTextCodec& codec, ContactField field, QWidget* parent);

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

    void SayRefused(const QString& why);

    const CTextCodec& m_codec;
    ContactField m_field;
    std::size_t m_limit = 0;
    QString m_accepted;     // the text before the change being validated
    bool m_setting = false; // a program change, which the validator lets through
    CFieldBytes m_bytes;
};

} // namespace orvalen
