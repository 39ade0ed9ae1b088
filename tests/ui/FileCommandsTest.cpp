// Load, Save and Save As through the real file dialogs, with the path typed in, and the bytes
// they leave on disk.
#include "GuiTestSupport.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QTemporaryDir>

#include <array>
#include <vector>

using namespace orvalen::testing;

namespace {

using Record = std::array<QByteArray, 6>;

// A .tel file as the player reads it: 55 AA 68 68, the count, zeros up to 512 bytes, then 200
// records of 128 bytes with the fields at 0, 16, 32, 64, 96 and 112.
QByteArray TelFile(const std::vector<Record>& records, int places = 200) {
    QByteArray file(512 + 128 * places, '\0');
    file[0] = '\x55';
    file[1] = '\xAA';
    file[2] = '\x68';
    file[3] = '\x68';
    file[4] = static_cast<char>(records.size());
    const int offsets[] = {0, 16, 32, 64, 96, 112};
    for (std::size_t r = 0; r < records.size(); ++r) {
        for (std::size_t f = 0; f < 6; ++f)
            file.replace(static_cast<qsizetype>(512 + 128 * r + offsets[f]), records[r][f].size(),
                         records[r][f]);
    }
    return file;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CWindow> m_window;
    std::unique_ptr<QTemporaryDir> m_folder;

    CWindow& W() { return *m_window; }
    QString Path(const QString& name) const { return m_folder->filePath(name); }

    void AddCarlAliceBob() {
        W().AddContact(QStringLiteral("Carl"), QStringLiteral("333"));
        W().Type(W().Edit("emailEdit"), QStringLiteral("alice@example.com"));
        W().AddContact(QStringLiteral("alice"), QStringLiteral("111"));
        W().Type(W().Edit("emailEdit"), QString());
        W().Type(W().Edit("faxEdit"), QStringLiteral("0755-1234"));
        W().AddContact(QStringLiteral("Bob"), QStringLiteral("222"));
    }

    // Presses a file button and types path into the dialog it opens.
    SeenFileDialog PressAndChoose(const char* button, const QString& path,
                                  SeenMessage* question = nullptr) {
        CModalScript script;
        SeenFileDialog dialog;
        script.Then(TypeIntoFileDialog(dialog, path));
        if (question != nullptr)
            script.Then(AnswerMessage(*question, QMessageBox::Ok));
        W().Press(button);
        return dialog;
    }

    // Presses "Add >>", answering any message, and checks what every later command relies on:
    // each entry shows its own contact, and a save writes exactly the listed names.
    void AddAndExpectListAndTableInStep() {
        {
            CModalScript script;
            SeenMessage message;
            script.Then(AnswerMessage(message, QMessageBox::Ok));
            W().Press("addButton");
            QCOMPARE(message.icon == QMessageBox::Critical, false);
            CModalScript::CloseLeftovers();
        }
        const QStringList listed = W().ListedNames();
        for (int row = 0; row < listed.size(); ++row) {
            CModalScript script;
            SeenMessage message;
            script.Then(AnswerMessage(message, QMessageBox::Ok));
            W().ClickEntry(row);
            QVERIFY2(!message.seen, qPrintable(message.text));
            CModalScript::CloseLeftovers();
        }
        const QString saved = Path(QStringLiteral("saved.tel"));
        CModalScript script;
        SeenFileDialog dialog;
        SeenMessage message;
        script.Then(TypeIntoFileDialog(dialog, saved));
        script.Then(AnswerMessage(message, QMessageBox::Ok));
        W().Press("saveButton");
        QVERIFY2(!message.seen,
                 qPrintable(message.text + QLatin1Char(' ') + message.informativeText));
        const QByteArray file = ReadAll(saved);
        QCOMPARE(file.size(), 26112);
        QCOMPARE(static_cast<int>(static_cast<unsigned char>(file[4])), listed.size());
        for (int row = 0; row < listed.size(); ++row) {
            const QByteArray field = file.mid(512 + 128 * row, 16);
            const QByteArray name = field.left(field.indexOf('\0') < 0 ? 16 : field.indexOf('\0'));
            QCOMPARE(QString::fromUtf8(name), listed[row]);
        }
    }

private slots:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        m_window = std::make_unique<CWindow>("UTF-8");
        QVERIFY(m_window->IsShown());
    }
    void cleanup() {
        CModalScript::CloseLeftovers();
        m_window.reset();
        m_folder.reset();
    }

    void saveWritesTheSortedPhoneBookThenLoadBringsItBack() {
        AddCarlAliceBob();
        const QString path = Path(QStringLiteral("book.tel"));
        const SeenFileDialog save = PressAndChoose("saveButton", path);

        QVERIFY(save.seen);
        QCOMPARE(save.acceptMode, QFileDialog::AcceptSave);
        QCOMPARE(save.proposedName, QStringLiteral("Tel_Save.tel"));
        QCOMPARE(save.nameFilters, QStringList{QStringLiteral("ZUM orvalen file(*.tel)")});
        QCOMPARE(save.defaultSuffix, QString());
        const QByteArray expected = TelFile({{"alice", "111", "", "alice@example.com", "", ""},
                                             {"Bob", "222", "", "", "", "0755-1234"},
                                             {"Carl", "333", "", "", "", ""}});
        QCOMPARE(ReadAll(path).size(), 26112);
        QCOMPARE(ReadAll(path), expected);

        W().Press("clearButton");
        QCOMPARE(W().List()->count(), 0);
        // The cleared book is not the one saved: Load asks before it goes.
        SeenMessage question;
        const SeenFileDialog load = PressAndChoose("loadButton", path, &question);
        QCOMPARE(question.icon, QMessageBox::Warning);

        QVERIFY(load.seen);
        QCOMPARE(load.acceptMode, QFileDialog::AcceptOpen);
        QCOMPARE(load.proposedName, QStringLiteral("Tel_Expt.tel"));
        QCOMPARE(load.nameFilters, QStringList{QStringLiteral("ZUM orvalen file(*.tel)")});
        QCOMPARE(W().ListedNames(), (QStringList{QStringLiteral("alice"), QStringLiteral("Bob"),
                                                 QStringLiteral("Carl")}));
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("3"));
        // The last name is selected and shown.
        QCOMPARE(W().SelectedRow(), 2);
        QCOMPARE(W().NameEdit()->text(), QStringLiteral("Carl"));
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("333"));
        W().ClickEntry(0);
        QCOMPARE(W().Edit("emailEdit")->text(), QStringLiteral("alice@example.com"));
    }

    void saveAsksBeforeReplacingAFile() {
        W().AddContact(QStringLiteral("Carl"), QStringLiteral("333"));
        const QString path = Path(QStringLiteral("old.tel"));
        QVERIFY(WriteAll(path, "old"));

        // Answered No, the dialog stays open; the user then cancels it.
        {
            CModalScript script;
            SeenFileDialog dialog;
            SeenMessage question;
            script.Then(TypeIntoFileDialog(dialog, path));
            script.Then(AnswerMessage(question, QMessageBox::No));
            W().Press("saveButton");
            QVERIFY(script.Done());
            QVERIFY(question.seen);
            QVERIFY(dialog.stayedOpen);
            QCOMPARE(ReadAll(path), QByteArray("old"));
        }
        // Answered Yes, the file is replaced.
        {
            CModalScript script;
            SeenFileDialog dialog;
            SeenMessage question;
            script.Then(TypeIntoFileDialog(dialog, path));
            script.Then(AnswerMessage(question, QMessageBox::Yes));
            W().Press("saveButton");
            QVERIFY(script.Done());
            QVERIFY(question.seen);
            QVERIFY(!dialog.stayedOpen);
            QCOMPARE(ReadAll(path), TelFile({{"Carl", "333", "", "", "", ""}}));
        }
    }

    void aNameTypedWithoutExtensionIsUsedAsTyped() {
        W().AddContact(QStringLiteral("Carl"));
        PressAndChoose("saveButton", Path(QStringLiteral("book")));
        QVERIFY(QFile::exists(Path(QStringLiteral("book"))));
        QVERIFY(!QFile::exists(Path(QStringLiteral("book.tel"))));
    }

    void cancellingTheDialogChangesNothing() {
        W().AddContact(QStringLiteral("Carl"));
        const SeenFileDialog save = PressAndChoose("saveButton", QString());
        QVERIFY(save.seen);
        QVERIFY(QDir(m_folder->path()).isEmpty());

        const SeenFileDialog load = PressAndChoose("loadButton", QString());
        QVERIFY(load.seen);
        QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Carl")});
    }

    void saveWithAnEmptyPhoneBookWarnsWithoutADialog() {
        for (const char* button : {"saveButton", "saveAsButton"}) {
            CModalScript script;
            SeenMessage message;
            script.Then(AnswerMessage(message, QMessageBox::Ok));
            W().Press(button);
            QVERIFY(script.Done());
            QCOMPARE(message.text, QStringLiteral("Please add item first !!"));
            QCOMPARE(message.icon, QMessageBox::Warning);
        }
    }

    void loadingAMissingFileReportsItAndKeepsThePhoneBook() {
        W().AddContact(QStringLiteral("Carl"));
        CModalScript script;
        SeenFileDialog dialog;
        SeenMessage message;
        script.Then(TypeIntoFileDialog(dialog, Path(QStringLiteral("missing.tel"))));
        script.Then(AnswerMessage(message, QMessageBox::Ok));
        W().Press("loadButton");

        QVERIFY(script.Done());
        QCOMPARE(message.text, QStringLiteral("File Get Fail !!"));
        QCOMPARE(message.icon, QMessageBox::Critical);
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Carl")});
    }

    void loadingAFileOfAnotherKindIsRefused() {
        W().AddContact(QStringLiteral("Carl"));
        const QString path = Path(QStringLiteral("other.tel"));
        QVERIFY(WriteAll(path, QByteArray(640, 'x')));
        CModalScript script;
        SeenFileDialog dialog;
        SeenMessage message;
        script.Then(TypeIntoFileDialog(dialog, path));
        script.Then(AnswerMessage(message, QMessageBox::Ok));
        W().Press("loadButton");

        QVERIFY(script.Done());
        QCOMPARE(message.text, QStringLiteral("Error!!, Not ZUM Tel file ..."));
        QCOMPARE(message.icon, QMessageBox::Critical);
        QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Carl")});
    }

    void saveAsWritesTheReport() {
        AddCarlAliceBob();
        const QString path = Path(QStringLiteral("report.txt"));
        const SeenFileDialog dialog = PressAndChoose("saveAsButton", path);

        QCOMPARE(dialog.acceptMode, QFileDialog::AcceptSave);
        QCOMPARE(dialog.proposedName, QStringLiteral("Tel_Save.txt"));
        QCOMPARE(dialog.nameFilters, QStringList{QStringLiteral("ZUM orvalen file(*.txt)")});
        const QByteArray expected = "Total Telphone Number: 3\r\n\r\n"
                                    "No: 1\r\nName: alice\r\nMobile: 111\r\nTelphone: \r\n"
                                    "E_mail: alice@example.com\r\nQQ: \r\nFAX: \r\n\r\n"
                                    "No: 2\r\nName: Bob\r\nMobile: 222\r\nTelphone: \r\n"
                                    "E_mail: \r\nQQ: \r\nFAX: 0755-1234\r\n\r\n"
                                    "No: 3\r\nName: Carl\r\nMobile: 333\r\nTelphone: \r\n"
                                    "E_mail: \r\nQQ: \r\nFAX: \r\n\r\n"
                                    "END!";
        QCOMPARE(ReadAll(path), expected);
    }

    // Each file command's failure says why under its message, in the system's words.
    void fileErrorsShowTheirReason() {
        W().AddContact(QStringLiteral("Carl"));
        const QString missing = Path(QStringLiteral("gone/Tel_Save.tel"));
        for (const char* button : {"saveButton", "saveAsButton", "loadButton"}) {
            CModalScript script;
            SeenFileDialog dialog;
            SeenMessage message;
            script.Then(TypeIntoFileDialog(dialog, missing));
            script.Then(AnswerMessage(message, QMessageBox::Ok));
            W().Press(button);
            QVERIFY2(script.Done(), button);
            QCOMPARE(message.icon, QMessageBox::Critical);
            QCOMPARE(message.informativeText,
                     QStringLiteral("No such file or directory: ") + missing);
        }
        QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Carl")});
    }

    // A GBK name loaded under UTF-8 shows as replacement marks; with one deleted, the field
    // holds three bytes a mark, far over the limit.
    void aMendedNameOfReplacementMarksIsListedAsStored() {
        const QByteArray gbk("\xD5\xC5\xC8\xFD\xC0\xEE\xCB\xC4\xCD\xF5\xCE\xE5\xD5\xD4\xC1\xF9");
        const QString path = Path(QStringLiteral("player.tel"));
        QVERIFY(WriteAll(path, TelFile({{gbk, "1", "", "", "", ""}})));
        PressAndChoose("loadButton", path);
        QCOMPARE(W().List()->count(), 1);
        W().NameEdit()->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(W().NameEdit(), Qt::Key_End);
        QTest::keyClick(W().NameEdit(), Qt::Key_Backspace);
        AddAndExpectListAndTableInStep();
    }

    // A pasted name with a NUL inside.
    void aPastedNameWithANulIsListedAsStored() {
        QApplication::clipboard()->setText(QString::fromUtf8("Ann\0Lee", 7));
        W().NameEdit()->setFocus(Qt::MouseFocusReason);
        W().NameEdit()->selectAll();
        QTest::keyClick(W().NameEdit(), Qt::Key_V, Qt::ControlModifier);
        AddAndExpectListAndTableInStep();
    }

    void onlySavingThePhoneBookFileClearsTheUnsavedMark() {
        AddCarlAliceBob();
        QVERIFY(W().Dialog().isWindowModified());
        PressAndChoose("saveAsButton", Path(QStringLiteral("report.txt")));
        QVERIFY(W().Dialog().isWindowModified());
        {
            CModalScript script;
            SeenFileDialog dialog;
            SeenMessage failed;
            script.Then(TypeIntoFileDialog(dialog, Path(QStringLiteral("gone/book.tel"))));
            script.Then(AnswerMessage(failed, QMessageBox::Ok));
            W().Press("saveButton");
            QVERIFY(script.Done());
            QCOMPARE(failed.icon, QMessageBox::Critical);
        }
        QVERIFY(W().Dialog().isWindowModified());
        PressAndChoose("saveButton", Path(QStringLiteral("book.tel")));
        QVERIFY(!W().Dialog().isWindowModified());
        // Nothing unsaved: closing asks nothing.
        QVERIFY(W().Dialog().close());

        m_window = std::make_unique<CWindow>("UTF-8");
        W().AddContact(QStringLiteral("Dan"));
        SeenMessage question;
        PressAndChoose("loadButton", Path(QStringLiteral("book.tel")), &question);
        QVERIFY(!W().Dialog().isWindowModified());
        QVERIFY(W().Dialog().close());
    }

    void theChooserOffersPhoneBookFilesInAnyLetterCase() {
        for (const char* name : {"PLAYER.TEL", "Tel_Expt.Tel", "lower.tel", "notes.txt"})
            QVERIFY(WriteAll(Path(QLatin1String(name)), "x"));
        QStringList offered;
        CModalScript script;
        script.Then([&](QWidget& window) {
            auto* dialog = qobject_cast<QFileDialog*>(&window);
            auto* model = dialog != nullptr ? dialog->findChild<QFileSystemModel*>() : nullptr;
            if (model == nullptr) {
                window.close();
                return;
            }
            dialog->setDirectory(m_folder->path());
            const QModelIndex root = model->index(m_folder->path());
            QTRY_VERIFY(model->rowCount(root) >= 3);
            for (int row = 0; row < model->rowCount(root); ++row)
                offered << model->index(row, 0, root).data().toString();
            dialog->reject();
        });
        W().Press("loadButton");
        QVERIFY(script.Done());
        offered.sort();
        QCOMPARE(offered, (QStringList{QStringLiteral("PLAYER.TEL"), QStringLiteral("Tel_Expt.Tel"),
                                       QStringLiteral("lower.tel")}));
    }

    void namesTheCodePageCannotReadKeepTheirBytes() {
        // A player's file may hold bytes that are no text in the code page: they show as
        // replacement marks and go back to the file unchanged.
        const QByteArray odd("\xFF\xFE"
                             "ab",
                             4);
        const QString path = Path(QStringLiteral("player.tel"));
        QVERIFY(
            WriteAll(path, TelFile({{"Zed", "1", "", "", "", ""}, {odd, "2", "", "", "", ""}})));
        PressAndChoose("loadButton", path);

        QCOMPARE(W().List()->count(), 2);
        QCOMPARE(W().List()->item(1)->text(), QStringLiteral("\uFFFD\uFFFDab"));

        // Shown and added again, it is the same contact: its bytes came back from the field.
        W().ClickEntry(1);
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("2"));
        CModalScript script;
        SeenMessage question;
        script.Then(AnswerMessage(question, QMessageBox::Ok));
        W().Type(W().MobileEdit(), QStringLiteral("3"));
        W().Press("addButton");
        QVERIFY(script.Done());
        QCOMPARE(question.text, QStringLiteral("Name repeat! Do you change it ?"));
        QCOMPARE(W().List()->count(), 2);

        const QString saved = Path(QStringLiteral("saved.tel"));
        PressAndChoose("saveButton", saved);
        QCOMPARE(ReadAll(saved),
                 TelFile({{"Zed", "1", "", "", "", ""}, {odd, "3", "", "", "", ""}}));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
