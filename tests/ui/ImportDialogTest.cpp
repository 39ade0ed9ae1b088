// The import dialog's widgets on their own: the marks and tooltips, the keyboard, the
// character-set box and the range of contacts shown. Its rules (ticks, count, search, choices) are
// tested in app/.
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
              std::vector<InterchangeNote> notes = {}) {
    ImportRow row;
    row.form = MakeForm(std::move(name), std::move(mobile), {}, std::move(email));
    row.known = known;
    row.notes = std::move(notes);
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
    CCodePage m_codePage{"UTF-8"};
    std::unique_ptr<CImportModel> m_model;
    std::unique_ptr<CImportDialog> m_dialog;

    CImportDialog& Open(int bookCount, std::vector<ImportRow> rows,
                        CImportModel::Reader reader = {}) {
        ImportFile file{std::move(rows), "GB18030", static_cast<bool>(reader)};
        return Open(bookCount, std::move(file), std::move(reader));
    }
    CImportDialog& Open(int bookCount, ImportFile file, CImportModel::Reader reader) {
        m_dialog.reset();
        m_model = std::make_unique<CImportModel>(m_codePage, bookCount, std::move(file),
                                                 std::move(reader));
        m_dialog = std::make_unique<CImportDialog>(*m_model);
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

    void theCountLineAndOkFollowTheTicks() {
        Open(10, NumberedRows(250));
        QCOMPARE(CountLine(), QStringLiteral("190 selected · 0 places left"));
        QVERIFY(OkEnabled());
        ToggleShownRow(200);
        QCOMPARE(CountLine(), QStringLiteral("191 selected · 1 more than the places left"));
        QVERIFY(!OkEnabled());
        Search(QStringLiteral("Contact 20"));
        QCOMPARE(Shown().size(), 10);
        Press("selectNoneButton");
        QCOMPARE(CountLine(), QStringLiteral("190 selected · 0 places left"));
    }

    void aRowWithDataLeftOutShowsAMarkAndSaysWhy() {
        Open(0, {Row("Ann", "1", {}, true),
                 Row("Bob", "1", {}, false,
                     {{NoteKind::valueLeftOut, ContactField::mobile, 3, 2, "Bob", "2"}})});
        QAbstractItemModel* model = Table()->model();
        QVERIFY(model->index(0, 0).data(Qt::DecorationRole).isNull());
        QVERIFY(!model->index(1, 0).data(Qt::DecorationRole).isNull());
        QCOMPARE(model->index(1, 2).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("Mobile \"2\" left out: the player holds one per contact"));
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

    // Fault: the box kept showing a set whose re-read had failed.
    void theCharacterSetBoxShowsTheSetTheRowsWereReadIn() {
        Open(0, {Row("Ann")});
        QVERIFY(!Find<QComboBox>("encodingBox")->isVisible());

        QStringList asked;
        Open(0, {Row("Ann")}, [&asked](const std::string& encoding, std::size_t) {
            asked << QString::fromStdString(encoding);
            return CResult<ImportFile>(CStatus(StatusKind::malformed, "cards.vcf"));
        });
        QComboBox* box = Find<QComboBox>("encodingBox");
        QVERIFY(box->isVisible());
        QCOMPARE(box->currentText(), QStringLiteral("GB18030"));
        CModalScript script;
        QString failure;
        script.Then([&failure](QWidget& modal) {
            failure = modal.objectName();
            QTest::keyClick(&modal, Qt::Key_Return);
        });
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(asked, QStringList{QStringLiteral("UTF-8")});
        QTRY_COMPARE(failure, QStringLiteral("failure"));
        QCOMPARE(box->currentText(), QStringLiteral("GB18030"));
    }

    // A file of more contacts than one read keeps: the line says which are shown, and the
    // button reads the next ones in their place.
    void theRangeButtonReadsTheNextContacts() {
        Open(0, {Row("Ann")});
        QVERIFY(!Find<QLabel>("rangeLine")->isVisible());
        QVERIFY(!Find<QPushButton>("nextRangeButton")->isVisible());

        const auto part = [](std::size_t first, const char* name) {
            ImportFile file{{Row(name)}, "UTF-8", false};
            file.first = first;
            file.read = 1;
            file.total = 2;
            return file;
        };
        std::vector<std::size_t> asked;
        Open(0, part(1, "Ann"), [&](const std::string&, std::size_t first) {
            asked.push_back(first);
            return CResult<ImportFile>(part(first, "Bob"));
        });
        QCOMPARE(Find<QLabel>("rangeLine")->text(),
                 QStringLiteral("Shown: the first 1 of 2 contacts"));
        Press("nextRangeButton");
        QVERIFY(asked == std::vector<std::size_t>{2});
        QCOMPARE(Shown(), QStringList{QStringLiteral("Bob")});
        QCOMPARE(Find<QLabel>("rangeLine")->text(), QStringLiteral("Shown: contacts 2 to 2 of 2"));
    }
};

QTEST_MAIN(ImportDialogTest)
#include "ImportDialogTest.moc"
