// The import dialog on its own: the first ticks, the count of places, the search, the buttons
// acting on the rows shown, the repeated-name choice and the keyboard.
#include "ImportDialog.h"
#include "GuiTestSupport.h"
#include "HeadlessView.h"

#include <QComboBox>
#include <QLabel>
#include <QTableView>

using namespace orvalen;
using namespace orvalen::testing;

namespace {

ImportRow Row(std::string name, std::string mobile = {}, std::string email = {}, bool known = false,
              std::string note = {}) {
    ImportRow row;
    row.form = MakeForm(std::move(name), std::move(mobile), {}, std::move(email));
    row.known = known;
    row.note = std::move(note);
    return row;
}

// Contact 001 ... Contact N, each with a number of its own.
std::vector<ImportRow> NumberedRows(int count) {
    std::vector<ImportRow> rows;
    for (int i = 1; i <= count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Contact %03d", i);
        rows.push_back(Row(name, "1380000" + std::to_string(1000 + i)));
    }
    return rows;
}

} // namespace

class ImportDialogTest : public QObject {
    Q_OBJECT

private:
    CTextCodec m_codec{CCodePage("UTF-8")};
    std::unique_ptr<CImportDialog> m_dialog;

    CImportDialog& Open(int bookCount, std::vector<ImportRow> rows) {
        m_dialog = std::make_unique<CImportDialog>(m_codec, bookCount);
        m_dialog->SetRows(std::move(rows));
        m_dialog->show();
        m_dialog->activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(m_dialog.get());
        return *m_dialog;
    }
    template <typename T> T* Find(const char* name) {
        return m_dialog->findChild<T*>(QLatin1String(name));
    }
    QTableView* Table() { return Find<QTableView>("contactTable"); }
    QString CountLine() { return Find<QLabel>("countLine")->text(); }
    bool OkEnabled() { return Find<QPushButton>("okButton")->isEnabled(); }
    void Press(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    // The names of the rows shown, and which of them are ticked.
    QStringList Shown(bool tickedOnly = false) {
        QStringList names;
        QAbstractItemModel* model = Table()->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            const QModelIndex cell = model->index(r, 0);
            if (!tickedOnly || cell.data(Qt::CheckStateRole).toInt() == Qt::Checked)
                names << cell.data().toString();
        }
        return names;
    }
    // Puts the table's current cell on a shown row and presses Space there.
    void ToggleShownRow(int row, int column = 0) {
        Table()->setFocus(Qt::TabFocusReason);
        const QModelIndex cell = Table()->model()->index(row, column);
        Table()->scrollTo(cell);
        const QRect rect = Table()->visualRect(cell);
        QTest::mouseClick(Table()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        QTest::keyClick(Table(), Qt::Key_Space);
    }
    void Search(const QString& text) {
        QLineEdit* search = Find<QLineEdit>("searchEdit");
        search->setFocus(Qt::MouseFocusReason);
        search->selectAll();
        QTest::keyClick(search, Qt::Key_Delete);
        QTest::keyClicks(search, text);
    }

private slots:
    void cleanup() {
        CModalScript::CloseLeftovers();
        m_dialog.reset();
    }

    void ticksInFileOrderWhileThereIsRoomAndOkFollowsTheRoom() {
        Open(10, NumberedRows(250));
        QCOMPARE(Shown(true).size(), 190);
        QCOMPARE(Shown(true).last(), QStringLiteral("Contact 190"));
        QCOMPARE(CountLine(), QStringLiteral("190 selected · 0 places left"));
        QVERIFY(OkEnabled());
        QVERIFY(Find<QPushButton>("okButton")->isDefault());

        // Space on any cell of a row ticks it.
        ToggleShownRow(200, 3);
        QCOMPARE(Shown(true).size(), 191);
        QCOMPARE(CountLine(), QStringLiteral("191 selected · 1 more than the places left"));
        QVERIFY(!OkEnabled());
        ToggleShownRow(0);
        QCOMPARE(CountLine(), QStringLiteral("190 selected · 0 places left"));
        QVERIFY(OkEnabled());
        QCOMPARE(m_dialog->Chosen().size(), std::size_t{190});
        QCOMPARE(m_dialog->Chosen().back()[ContactField::name], std::string("Contact 201"));
    }

    void searchFiltersAndTheButtonsActOnTheRowsShown() {
        Open(0, {Row("Alice", "111", "a@home.cn"), Row("bob", "222", "ALICE@work.cn"),
                 Row("Carl", "333"), Row("Dora", "4411")});
        QCOMPARE(Shown(true).size(), 4);

        // Name, number or e-mail, without regard to case.
        Search(QStringLiteral("alice"));
        QCOMPARE(Shown(), (QStringList{QStringLiteral("Alice"), QStringLiteral("bob")}));
        Search(QStringLiteral("11"));
        QCOMPARE(Shown(), (QStringList{QStringLiteral("Alice"), QStringLiteral("Dora")}));

        Press("selectNoneButton");
        QCOMPARE(CountLine(), QStringLiteral("2 selected · 198 places left"));
        Search(QString());
        QCOMPARE(Shown(true), (QStringList{QStringLiteral("bob"), QStringLiteral("Carl")}));
        Search(QStringLiteral("DORA"));
        Press("selectAllButton");
        Search(QString());
        QCOMPARE(Shown(true), (QStringList{QStringLiteral("bob"), QStringLiteral("Carl"),
                                           QStringLiteral("Dora")}));
    }

    void namesInThePhoneBookTakeNoRoomUnlessAddedAsWell() {
        // Two places left: Ann is known, Eve repeats within the file.
        Open(198, {Row("Ann", "1", {}, true), Row("Eve", "2"), Row("Eve", "3"), Row("Max", "4"),
                   Row("Zoe", "5")});
        QCOMPARE(Shown(true), (QStringList{QStringLiteral("Ann"), QStringLiteral("Eve"),
                                           QStringLiteral("Eve"), QStringLiteral("Max")}));
        QCOMPARE(CountLine(), QStringLiteral("4 selected · 0 places left"));
        QCOMPARE(m_dialog->Repeated(), RepeatedNames::merge);

        QComboBox* repeated = Find<QComboBox>("repeatedBox");
        QCOMPARE(repeated->itemText(0), QStringLiteral("Update with their details"));
        QCOMPARE(repeated->itemText(1), QStringLiteral("Skip them"));
        QCOMPARE(repeated->itemText(2), QStringLiteral("Add them as well"));
        repeated->setCurrentIndex(2);
        QCOMPARE(m_dialog->Repeated(), RepeatedNames::addAsWell);
        QCOMPARE(CountLine(), QStringLiteral("4 selected · 2 more than the places left"));
        QVERIFY(!OkEnabled());
        repeated->setCurrentIndex(1);
        QCOMPARE(m_dialog->Repeated(), RepeatedNames::skip);
        QCOMPARE(CountLine(), QStringLiteral("4 selected · 0 places left"));
        QVERIFY(OkEnabled());
    }

    void aRowWithDataLeftOutShowsAMarkAndSaysWhy() {
        Open(0, {Row("Ann", "1", {}, true), Row("Bob", {}, {}, false, "mobile left out")});
        QAbstractItemModel* model = Table()->model();
        QVERIFY(model->index(0, 0).data(Qt::DecorationRole).isNull());
        QVERIFY(!model->index(1, 0).data(Qt::DecorationRole).isNull());
        QCOMPARE(model->index(1, 2).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("mobile left out"));
        QCOMPARE(model->index(0, 6).data().toString(), QStringLiteral("yes"));
        QVERIFY(model->index(0, 1)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("already in the phone book")));
    }

    void tabRunsThroughTheControlsInOrderAndEscapeCancels() {
        Open(0, {Row("Ann"), Row("Bob")});
        const QStringList expected = {
            QStringLiteral("searchEdit"),      QStringLiteral("contactTable"),
            QStringLiteral("selectAllButton"), QStringLiteral("selectNoneButton"),
            QStringLiteral("repeatedBox"),     QStringLiteral("okButton"),
            QStringLiteral("cancelButton"),    QStringLiteral("searchEdit")};
        QStringList seen;
        for (int i = 0; i < expected.size(); ++i) {
            seen << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(seen, expected);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
    }

    void theCharacterSetBoxShowsOnlyForAGuessAndAsksForARead() {
        Open(0, {Row("Ann")});
        QComboBox* box = Find<QComboBox>("encodingBox");
        QVERIFY(!box->isVisible());
        m_dialog->OfferEncodings(QStringLiteral("GB18030"));
        QVERIFY(box->isVisible());
        QCOMPARE(box->currentText(), QStringLiteral("GB18030"));

        QString asked;
        connect(m_dialog.get(), &CImportDialog::EncodingChosen, this,
                [&asked](const QString& encoding) { asked = encoding; });
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(asked, box->currentText());
        QVERIFY(asked != QStringLiteral("GB18030"));
    }
};

QTEST_MAIN(ImportDialogTest)
#include "ImportDialogTest.moc"
