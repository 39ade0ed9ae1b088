// Import and export through the real window: the context menu, the file choosers, the import
// dialog, dropped files, and the files written.
#include "GuiTestSupport.h"
#include "ImportDialog.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QTableView>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvalen;
using namespace orvalen::testing;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A vCard 3.0 file of count contacts named "Person 0001"... with a mobile number each.
QByteArray NumberedVCards(int count) {
    QByteArray file;
    for (int i = 1; i <= count; ++i) {
        const QByteArray number = QByteArray::number(i).rightJustified(4, '0');
        file += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person " + number + "\r\nTEL;TYPE=CELL:1390000" +
                number + "\r\nEND:VCARD\r\n";
    }
    return file;
}

QByteArray VCard(const QByteArray& name, const QByteArray& mobile) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + name + "\r\nTEL;TYPE=CELL:" + mobile +
           "\r\nEND:VCARD\r\n";
}

} // namespace

class ImportExportTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CWindow> m_window;
    std::unique_ptr<QTemporaryDir> m_folder;

    CWindow& W() { return *m_window; }
    QString Path(const QString& name) const { return m_folder->filePath(name); }

    // Opens the window's context menu and picks the item with the given mnemonic.
    void PickMenuItem(CModalScript& script, Qt::Key key, QString* items = nullptr) {
        script.Then([key, items](QWidget& window) {
            auto* menu = qobject_cast<QMenu*>(&window);
            if (menu == nullptr) {
                window.close();
                return;
            }
            if (items != nullptr) {
                for (const QAction* action : menu->actions())
                    *items += action->text() + QLatin1Char('|');
            }
            QTest::keyClick(menu, key);
        });
    }
    void OpenContextMenu() {
        const QPoint where(W().Dialog().width() / 2, W().Dialog().height() - 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, where, W().Dialog().mapToGlobal(where));
        QApplication::sendEvent(&W().Dialog(), &event);
    }

    // Imports path through the context menu and the chooser; dialogStep answers the dialog.
    SeenFileDialog Import(const QString& path, CModalScript::Step dialogStep) {
        CModalScript script;
        SeenFileDialog chooser;
        PickMenuItem(script, Qt::Key_I);
        script.Then(TypeIntoFileDialog(chooser, path));
        script.Then(std::move(dialogStep));
        OpenContextMenu();
        return chooser;
    }

    // Drops a file on the window as a file manager would.
    void Drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint where(10, 10);
        QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&W().Dialog(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(where), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&W().Dialog(), &drop);
        // The file is taken once the drop has ended.
        QApplication::processEvents();
    }

    void AddTenContacts() {
        for (int i = 0; i < 10; ++i)
            W().AddContact(QStringLiteral("Book %1").arg(i), QStringLiteral("100%1").arg(i));
    }

    // The table of a shown import dialog.
    static QTableView* Table(QWidget& dialog) {
        return dialog.findChild<QTableView*>(QStringLiteral("contactTable"));
    }
    static int Ticked(QWidget& dialog) {
        QAbstractItemModel* model = Table(dialog)->model();
        int ticked = 0;
        for (int r = 0; r < model->rowCount(); ++r)
            ticked += model->index(r, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
        return ticked;
    }
    static void Press(QWidget& dialog, const char* button) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
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

    void importOfMoreThanTheRoomTicksWhatFitsAndEntersTheTicked() {
        AddTenContacts();
        const QString path = Path(QStringLiteral("phone.vcf"));
        QVERIFY(WriteAll(path, NumberedVCards(250)));
        int ticked = 0;
        bool modalOwned = false;
        const SeenFileDialog chooser = Import(path, [&](QWidget& dialog) {
            ticked = Ticked(dialog);
            modalOwned = dialog.isModal() && dialog.parentWidget() == &W().Dialog();
            Press(dialog, "okButton");
        });

        QVERIFY(chooser.seen);
        QCOMPARE(chooser.acceptMode, QFileDialog::AcceptOpen);
        QCOMPARE(chooser.nameFilters,
                 (QStringList{QStringLiteral("vCard (*.vcf)"), QStringLiteral("CSV (*.csv)"),
                              QStringLiteral("All files (*)")}));
        QCOMPARE(ticked, 190);
        QVERIFY(modalOwned);
        QCOMPARE(W().List()->count(), 200);
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("200"));
        // The last one added is selected and shown.
        QCOMPARE(W().List()->currentItem()->text(), QStringLiteral("Person 0190"));
        QCOMPARE(W().NameEdit()->text(), QStringLiteral("Person 0190"));
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("13900000190"));
    }

    void eachRepeatedNameChoice_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("annMobile");
        // The box's choice reaches the import; every choice's rule is tested in app/.
        QTest::newRow("add as well") << 2 << QStringList{"Ann", "Ann", "Bob", "Cat"} << "111";
    }
    void eachRepeatedNameChoice() {
        QFETCH(int, choice);
        QFETCH(QStringList, names);
        QFETCH(QString, annMobile);
        W().AddContact(QStringLiteral("Ann"), QStringLiteral("111"));
        W().AddContact(QStringLiteral("Bob"), QStringLiteral("222"));
        const QString path = Path(QStringLiteral("phone.vcf"));
        QVERIFY(WriteAll(path, VCard("Ann", "999") + VCard("Cat", "333")));
        Import(path, [choice](QWidget& dialog) {
            dialog.findChild<QComboBox*>(QStringLiteral("repeatedBox"))->setCurrentIndex(choice);
            Press(dialog, "okButton");
        });

        QCOMPARE(W().ListedNames(), names);
        W().ClickEntry(0);
        QCOMPARE(W().MobileEdit()->text(), annMobile);
    }

    void aContactWithLossesIsMarkedAndSaysWhatAndWhy() {
        const QString path = Path(QStringLiteral("phone.vcf"));
        QVERIFY(WriteAll(path, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Christopher Alexander\r\n"
                               "TEL;TYPE=CELL:+86 (138) 0013-8000\r\n"
                               "EMAIL:a.very.long.address@example.com.cn\r\nEND:VCARD\r\n"));
        QStringList cells;
        QString tooltip;
        bool marked = false;
        Import(path, [&](QWidget& dialog) {
            QAbstractItemModel* model = Table(dialog)->model();
            for (int column = 0; column < 4; ++column)
                cells << model->index(0, column).data().toString();
            tooltip = model->index(0, 3).data(Qt::ToolTipRole).toString();
            marked = !model->index(0, 0).data(Qt::DecorationRole).isNull();
            Press(dialog, "cancelButton");
        });

        QCOMPARE(cells, (QStringList{"Christopher Alex", "+8613800138000", "", ""}));
        QVERIFY(marked);
        QCOMPARE(tooltip, QStringLiteral("Name cut to \"Christopher Alex\": the player holds at "
                                         "most 16 bytes — 5 Chinese characters or 16 letters\n"
                                         "E-mail \"a.very.long.address@example.com.cn\" left out: "
                                         "the player holds at most 32 bytes — 10 Chinese "
                                         "characters or 32 letters"));
    }

    void cancelChangesNothing() {
        W().AddContact(QStringLiteral("Ann"), QStringLiteral("111"));
        const QString path = Path(QStringLiteral("phone.vcf"));
        QVERIFY(WriteAll(path, VCard("Ann", "999") + VCard("Cat", "333")));
        Import(path, [](QWidget& dialog) { Press(dialog, "cancelButton"); });

        QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Ann")});
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("111"));
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("1"));
    }

    void aRefusedFileSaysWhyAndChangesNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        // %1 is the file's path.
        QTest::newRow("missing") << "missing.vcf" << QByteArray() << "No such file or folder: %1";
        QTest::newRow("no name column")
            << "numbers.csv" << QByteArray("Foo,Bar\r\n1,2\r\n")
            << "The file is damaged or not in the expected format (no name column in the header "
               "row): %1, line 1";
    }
    void aRefusedFileSaysWhyAndChangesNothing() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        W().AddContact(QStringLiteral("Ann"), QStringLiteral("111"));
        const QString path = Path(name);
        if (!bytes.isEmpty())
            QVERIFY(WriteAll(path, bytes));
        SeenMessage message;
        QString informative;
        Import(path, [&](QWidget& box) {
            if (auto* messageBox = qobject_cast<QMessageBox*>(&box))
                informative = messageBox->informativeText();
            AnswerMessage(message, QMessageBox::Ok)(box);
        });

        QCOMPARE(message.icon, QMessageBox::Critical);
        QCOMPARE(message.text, QStringLiteral("Cannot import contacts from this file."));
        QCOMPARE(informative, reason.arg(path));
        QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Ann")});
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("1"));
    }

    void aGuessedCharacterSetCanBeChangedAndTheRowsAreReadAgain() {
        // 张伟 in GBK, which is not UTF-8: the character set is guessed.
        const QByteArray gbkName("\xD5\xC5\xCE\xB0");
        const QString path = Path(QStringLiteral("outlook.csv"));
        QVERIFY(WriteAll(path, "Name,Mobile\r\n" + gbkName + ",13800138000\r\n"));
        QString guessed;
        QString before;
        QString after;
        Import(path, [&](QWidget& dialog) {
            auto* box = dialog.findChild<QComboBox*>(QStringLiteral("encodingBox"));
            QAbstractItemModel* model = Table(dialog)->model();
            guessed = box->isVisible() ? box->currentText() : QString();
            before = model->index(0, 0).data().toString();
            // As a choice from the box's list; a failed read (UTF-8) would put the box back.
            const int latin1 = box->findText(QStringLiteral("ISO-8859-1"));
            box->setCurrentIndex(latin1);
            emit box->activated(latin1);
            after = model->index(0, 0).data().toString();
            Press(dialog, "okButton");
        });

        QCOMPARE(guessed, QStringLiteral("GB18030"));
        QCOMPARE(before, QStringLiteral("张伟"));
        QCOMPARE(after, QString::fromLatin1(gbkName));
        QCOMPARE(W().ListedNames(), QStringList{QString::fromLatin1(gbkName)});
    }

    void okThenCtrlZRestoresThePhoneBookByteForByte() {
        // Ann's mobile slot holds bytes after its terminator, as players' files do.
        QByteArray tel(26112, '\0');
        tel.replace(0, 5, QByteArray("\x55\xAA\x68\x68\x02", 5));
        tel.replace(512, 3, QByteArray("Ann"));
        tel.replace(512 + 16, 7,
                    QByteArray("111\0"
                               "987",
                               7));
        tel.replace(640, 3, QByteArray("Bob"));
        const QString loaded = Path(QStringLiteral("Tel_Expt.tel"));
        QVERIFY(WriteAll(loaded, tel));
        Drop(loaded);
        QVERIFY(!W().Dialog().isWindowModified());

        const QString path = Path(QStringLiteral("phone.vcf"));
        QVERIFY(WriteAll(path, VCard("Ann", "999") + VCard("Cat", "333") + VCard("Dan", "4")));
        Import(path, [](QWidget& dialog) { Press(dialog, "okButton"); });
        QCOMPARE(W().ListedNames(), (QStringList{"Ann", "Bob", "Cat", "Dan"}));
        QVERIFY(W().Dialog().isWindowModified());

        // The window is active again once the dialog has closed, as at the screen.
        QApplication::setActiveWindow(&W().Dialog());
        W().List()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(W().List(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(W().ListedNames(), (QStringList{"Ann", "Bob"}));
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("2"));
        QVERIFY(!W().Dialog().isWindowModified());
        const QString saved = Path(QStringLiteral("saved.tel"));
        CModalScript script;
        SeenFileDialog chooser;
        script.Then(TypeIntoFileDialog(chooser, saved));
        W().Press("saveButton");
        QCOMPARE(ReadAll(saved), tel);
    }

    void aDroppedTelLoadsAndADroppedVCardOpensTheDialog() {
        // A phone book of one contact, as the player writes it.
        QByteArray tel(26112, '\0');
        tel.replace(0, 5, QByteArray("\x55\xAA\x68\x68\x01", 5));
        tel.replace(512, 3, QByteArray("Zoe"));
        tel.replace(512 + 16, 3, QByteArray("555"));
        const QString telPath = Path(QStringLiteral("Tel_Expt.TEL"));
        QVERIFY(WriteAll(telPath, tel));
        W().AddContact(QStringLiteral("Ann"), QStringLiteral("111"));
        // Ann is not saved: the drop asks first, and OK loads.
        CModalScript question;
        QString asked;
        question.Then([&asked](QWidget& box) {
            asked = box.objectName();
            QTest::keyClick(&box, Qt::Key_Return); // Cancel is the default
        });
        question.Then([](QWidget& box) {
            auto* message = qobject_cast<QMessageBox*>(&box);
            QTest::mouseClick(message->button(QMessageBox::Ok), Qt::LeftButton);
        });
        Drop(telPath);
        QTRY_COMPARE(asked, QStringLiteral("question"));
        QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Ann")});
        Drop(telPath);
        QTRY_VERIFY(question.Done());
        QTRY_COMPARE(W().ListedNames(), QStringList{QStringLiteral("Zoe")});
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("555"));

        const QString vcfPath = Path(QStringLiteral("phone.vcf"));
        QVERIFY(WriteAll(vcfPath, VCard("Cat", "333")));
        CModalScript script;
        QString title;
        script.Then([&title](QWidget& dialog) {
            title = dialog.objectName();
            Press(dialog, "okButton");
        });
        Drop(vcfPath);
        QTRY_VERIFY(script.Done());
        QCOMPARE(title, QStringLiteral("importDialog"));
        QCOMPARE(W().ListedNames(), (QStringList{QStringLiteral("Cat"), QStringLiteral("Zoe")}));
    }

    void exportThenConvertBackGivesSavesFile_data() {
        QTest::addColumn<QString>("exported");
        QTest::newRow("vCard") << "contacts.vcf";
        QTest::newRow("CSV") << "contacts.csv";
    }
    void exportThenConvertBackGivesSavesFile() {
        QFETCH(QString, exported);
        W().AddContact(QStringLiteral("张伟"), QStringLiteral("+86 138 0013 80"));
        W().Type(W().Edit("emailEdit"), QStringLiteral("zhang,wei@example.cn"));
        W().AddContact(QStringLiteral("alice"), QStringLiteral("111"));
        W().Type(W().Edit("emailEdit"), QString());
        W().Type(W().Edit("qqEdit"), QStringLiteral("12345"));
        W().AddContact(QStringLiteral("Bob;Lee"), QStringLiteral("222"));

        const QString saved = Path(QStringLiteral("saved.tel"));
        {
            CModalScript script;
            SeenFileDialog chooser;
            script.Then(TypeIntoFileDialog(chooser, saved));
            W().Press("saveButton");
        }
        CModalScript script;
        SeenFileDialog chooser;
        PickMenuItem(script, Qt::Key_E);
        script.Then(TypeIntoFileDialog(chooser, Path(exported)));
        OpenContextMenu();
        QVERIFY(script.Done());
        QCOMPARE(chooser.acceptMode, QFileDialog::AcceptSave);
        QCOMPARE(chooser.proposedName, QStringLiteral("Tel_Save.vcf"));
        QCOMPARE(chooser.nameFilters,
                 (QStringList{QStringLiteral("vCard 3.0 (*.vcf)"), QStringLiteral("CSV (*.csv)")}));

        const QString converted = Path(QStringLiteral("converted.tel"));
        QProcess tool;
        tool.start(QStringLiteral(ORVALEN_TEL_PATH),
                   {QStringLiteral("convert"), QStringLiteral("--encoding"),
                    QStringLiteral("UTF-8"), Path(exported), converted});
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(ReadAll(converted).size(), 26112);
        QCOMPARE(ReadAll(converted), ReadAll(saved));
    }

    void exportOfAnEmptyPhoneBookAsksForContactsFirst() {
        CModalScript script;
        SeenMessage message;
        PickMenuItem(script, Qt::Key_E);
        script.Then(AnswerMessage(message, QMessageBox::Ok));
        OpenContextMenu();
        QCOMPARE(message.text, QStringLiteral("Please add item first !!"));
        QCOMPARE(message.icon, QMessageBox::Warning);
    }

    // A file that never ends a read (a FIFO whose writer stays silent): the window's timers
    // go on firing, after half a second the progress shows with Cancel, and Cancel, or closing
    // the window, ends the read within 0.2 s, with nothing to report.
    void aReadThatNeverEndsKeepsTheWindowGoingAndCancelOrClosingEndsIt() {
        const QString fifo = Path(QStringLiteral("never.vcf"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const int writer = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK);
        QVERIFY(writer >= 0);
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
        timer.start(20);
        int ticksBeforeProgress = -1;
        QElapsedTimer sinceCancel;
        CModalScript script;
        script.Then([&](QWidget& window) {
            auto* progress = qobject_cast<QProgressDialog*>(&window);
            if (progress == nullptr) {
                window.close();
                return;
            }
            ticksBeforeProgress = ticks;
            sinceCancel.start();
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        });
        W().Dialog().Presenter().ImportFile(fifo.toStdString());
        const qint64 cancelMs = sinceCancel.isValid() ? sinceCancel.elapsed() : -1;
        // Closing the window cancels the read too, before any progress shows.
        QElapsedTimer sinceClose;
        QTimer::singleShot(100, &W().Dialog(), [&] {
            sinceClose.start();
            W().Dialog().close();
        });
        W().Dialog().Presenter().ImportFile(fifo.toStdString());
        const qint64 closeMs = sinceClose.isValid() ? sinceClose.elapsed() : -1;
        ::close(writer);
        QVERIFY2(closeMs >= 0 && closeMs < 200, qPrintable(QString::number(closeMs)));
        QVERIFY(!W().Dialog().isVisible());
        qInfo("%d ticks of 20 ms before the progress showed; Cancel ended the read in %lld ms, "
              "closing in %lld ms",
              ticksBeforeProgress, static_cast<long long>(cancelMs),
              static_cast<long long>(closeMs));
        QVERIFY(ticksBeforeProgress >= 10);
        QVERIFY2(cancelMs >= 0 && cancelMs < 200, qPrintable(QString::number(cancelMs)));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(W().List()->count(), 0);
    }

    // Not a limit: the figures go to the log.
    void timeFromOkToTheUpdatedWindowFor1000Contacts() {
        const QString path = Path(QStringLiteral("phone.vcf"));
        QVERIFY(WriteAll(path, NumberedVCards(1000)));
        QElapsedTimer timer;
        qint64 opened = -1;
        CModalScript script;
        script.Then([&](QWidget& dialog) {
            opened = timer.nsecsElapsed();
            timer.start();
            Press(dialog, "okButton");
        });
        timer.start();
        W().Dialog().Presenter().ImportFile(path.toStdString());
        W().Dialog().repaint();
        const qint64 entered = timer.nsecsElapsed();
        QCOMPARE(W().List()->count(), 200);
        qInfo("1000 contacts: %.1f ms to read them and show the dialog (with the script's wait), "
              "%.1f ms from OK to the updated window",
              static_cast<double>(opened) / 1e6, static_cast<double>(entered) / 1e6);
    }
};

QTEST_MAIN(ImportExportTest)
#include "ImportExportTest.moc"
