#pragma once

// The import dialog: the contacts found in a file, one ticked or unticked row each, a search
// box, the count of places they take, and the choice for names the phone book already holds.
// It changes nothing itself; the caller enters Chosen() with Repeated() after exec() accepts.
// Rows hold the texts as the phone book will store them (code-page bytes, already fitted to
// the fields); the codec given shows them.

#include "BookEditor.h"
#include "ContactForm.h"
#include "ContactImport.h"
#include "TextCodec.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace orvalen {

class CImportModel;
class CImportFilter;

class CImportDialog final : public QDialog {
    Q_OBJECT

public:
    // bookCount: the contacts already in the phone book, which the room is counted from.
    CImportDialog(const CTextCodec& codec, int bookCount, QWidget* parent = nullptr);
    ~CImportDialog() override;

    // Shows rows in file order and ticks them anew: in that order while there is room.
    void SetRows(std::vector<ImportRow> rows);
    // Shows the character-set box with the set the file was guessed to be in; choosing another
    // emits EncodingChosen, and the caller reads the file again and calls SetRows.
    void OfferEncodings(const QString& guessed);

    // The ticked rows' contacts in file order, and what to do with known names.
    std::vector<ContactForm> Chosen() const;
    RepeatedNames Repeated() const;
    // Places the ticked contacts need under the current choice.
    int PlacesNeeded() const;

signals:
    void EncodingChosen(const QString& encoding);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void TickShown(bool ticked);
    void UpdateCount();

    const CTextCodec& m_codec;
    int m_bookCount;
    CImportModel* m_model;
    CImportFilter* m_filter;
    QLineEdit* m_search = nullptr;
    QTableView* m_table = nullptr;
    QLabel* m_encodingLabel = nullptr;
    QComboBox* m_encoding = nullptr;
    QComboBox* m_repeated = nullptr;
    QLabel* m_countLine = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace orvalen
