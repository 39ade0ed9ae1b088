// The fields hold at most 16, 16, 32, 32, 16 and 16 bytes of the code page, and only characters
// the code page has; the names reach the phone book as code-page bytes and sort by them.
#include "AboutDialog.h"
#include "ByteLimitedEdit.h"
#include "ContactsApp.h"
#include "GuiTestSupport.h"

#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolTip>

#include <string>
#include <vector>

using namespace orvalen::testing;

namespace {

const char* const kFields[] = {"nameEdit",  "mobileEdit", "telephoneEdit",
                               "emailEdit", "qqEdit",     "faxEdit"};
const int kLimits[] = {16, 16, 32, 32, 16, 16};

void Paste(QLineEdit* edit, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

} // namespace

class CodePageTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { CModalScript::CloseLeftovers(); }

    void asciiFieldsRefuseTheByteAfterTheirLimit() {
        CWindow window("ANSI_X3.4-1968");
        QVERIFY(window.IsShown());
        for (std::size_t i = 0; i < std::size(kFields); ++i) {
            QLineEdit* edit = window.Edit(kFields[i]);
            const QString typed(kLimits[i] + 1, QLatin1Char('7'));
            window.Type(edit, typed);
            QCOMPARE(edit->text(), typed.left(kLimits[i]));
        }
    }

    void asciiFieldsRefuseCharactersTheCodePageLacks() {
        CWindow window("ANSI_X3.4-1968");
        QLineEdit* name = window.NameEdit();
        window.Type(name, QStringLiteral("Zo\u00EB \u5F20"));
        QCOMPARE(name->text(), QStringLiteral("Zo "));
        // A paste holding such a character is refused whole.
        Paste(name, QStringLiteral("e\u00E9"));
        QCOMPARE(name->text(), QStringLiteral("Zo "));
    }

    void aPastePastTheLimitIsCut() {
        CWindow window("ANSI_X3.4-1968");
        QLineEdit* name = window.NameEdit();
        window.Type(name, QStringLiteral("0123456789"));
        name->setCursorPosition(5);
        Paste(name, QStringLiteral("abcdefghij"));
        QCOMPARE(name->text(), QStringLiteral("01234abcdef56789"));
        QCOMPARE(name->cursorPosition(), 11);
        Paste(name, QStringLiteral("x"));
        QCOMPARE(name->text(), QStringLiteral("01234abcdef56789"));
    }

    void typingAmongRepeatedDigitsKeepsTheCursor() {
        CWindow window("ANSI_X3.4-1968");
        QLineEdit* mobile = window.MobileEdit();
        window.Type(mobile, QStringLiteral("1300"));
        mobile->setCursorPosition(2);
        TypeText(mobile, QStringLiteral("05"));
        QCOMPARE(mobile->text(), QStringLiteral("130500"));
    }

    void gbkHoldsEightChineseCharactersInTheName() {
        CWindow window("GBK");
        QVERIFY(window.IsShown());
        QLineEdit* name = window.NameEdit();
        window.Type(name, QStringLiteral("欧阳明月张三李四王五"));
        QCOMPARE(name->text(), QStringLiteral("欧阳明月张三李四"));

        // Fifteen bytes leave room for one more Latin letter but not a Chinese character.
        window.Type(name, QStringLiteral("ABCDEFGHIJKLMNO"));
        TypeText(name, QStringLiteral("张"));
        QCOMPARE(name->text(), QStringLiteral("ABCDEFGHIJKLMNO"));
        TypeText(name, QStringLiteral("P"));
        QCOMPARE(name->text(), QStringLiteral("ABCDEFGHIJKLMNOP"));

        // A paste is cut at a character boundary, never inside a double-byte character.
        window.Type(name, QStringLiteral("A"));
        Paste(name, QStringLiteral("张三李四王五赵六钱七"));
        QCOMPARE(name->text(), QStringLiteral("A张三李四王五赵"));

        // A character GBK has not got is refused.
        window.Type(name, QStringLiteral("李\U0001F600"));
        QCOMPARE(name->text(), QStringLiteral("李"));
    }

    void gbkNamesReachTheFileAsGbkBytesAndSortByThem() {
        CWindow window("GBK");
        window.AddContact(QStringLiteral("张伟"), QStringLiteral("1"));
        window.AddContact(QStringLiteral("李娜"), QStringLiteral("2"));
        window.AddContact(QStringLiteral("Bob"), QStringLiteral("3"));
        // GBK orders the common characters by their reading: Li before Zhang.
        QCOMPARE(window.ListedNames(), (QStringList{QStringLiteral("Bob"), QStringLiteral("李娜"),
                                                    QStringLiteral("张伟")}));
        orvalen::CBookEditor& editor = window.Dialog().Editor();
        QCOMPARE(editor.List().GetText(2), std::string("\xD5\xC5\xCE\xB0"));
        QCOMPARE(std::string(editor.Table().Text(0, orvalen::ContactField::name)),
                 std::string("\xD5\xC5\xCE\xB0"));
    }

    void utf8HoldsFiveChineseCharactersInTheName() {
        CWindow window("UTF-8");
        QLineEdit* name = window.NameEdit();
        window.Type(name, QStringLiteral("欧阳明月张三"));
        QCOMPARE(name->text(), QStringLiteral("欧阳明月张"));
        TypeText(name, QStringLiteral("a"));
        QCOMPARE(name->text(), QStringLiteral("欧阳明月张a"));
        TypeText(name, QStringLiteral("b"));
        QCOMPARE(name->text(), QStringLiteral("欧阳明月张a"));
    }

    // A Chinese desktop whose locale is UTF-8, installed or not: eight characters fit in the
    // name, and the file holds them in GBK.
    void aChineseUtf8DesktopSavesGbk() {
        const orvalen::CCodePage codePage =
            orvalen::PlayerCodePage(std::nullopt, {"", "", "zh_CN.UTF-8"});
        CWindow window(codePage.Name().c_str());
        QVERIFY(window.IsShown());
        window.AddContact(QStringLiteral("张三李四王五赵六七"), QStringLiteral("138"));
        QCOMPARE(window.ListedNames(), QStringList{QStringLiteral("张三李四王五赵六")});

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Tel_Save.tel"));
        {
            CModalScript script;
            SeenFileDialog dialog;
            script.Then(TypeIntoFileDialog(dialog, path));
            window.Press("saveButton");
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray record = file.readAll().mid(512, 19);
        QCOMPARE(record,
                 QByteArray("\xD5\xC5\xC8\xFD\xC0\xEE\xCB\xC4\xCD\xF5\xCE\xE5\xD5\xD4\xC1\xF9"
                            "138"));
    }

    void theAboutBoxNamesTheCodePage() {
        CWindow window("GBK");
        QString shown;
        CModalScript script;
        script.Then([&shown](QWidget& about) {
            if (const auto* line = about.findChild<QLabel*>(QStringLiteral("codePage")))
                shown = line->text();
            about.close();
        });
        window.Dialog().Presenter().Run(orvalen::Command::about);
        QCOMPARE(shown, QStringLiteral("代码页：GBK"));
    }

    void aRefusalBeepsAndSaysWhyBesideTheField_data() {
        QTest::addColumn<QByteArray>("codePage");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("paste");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("why");
        QTest::newRow("17th byte of a mobile number")
            << QByteArray("GBK") << QStringLiteral("mobileEdit") << QStringLiteral("") << false
            << QStringLiteral("+86 138-0013-8000") << QStringLiteral("+86 138-0013-800")
            << QStringLiteral("Mobile: at most 16 digits");
        QTest::newRow("a number too long even without its blanks, pasted")
            << QByteArray("GBK") << QStringLiteral("faxEdit") << QStringLiteral("") << true
            << QStringLiteral("010-1234-5678-9999-00") << QStringLiteral("")
            << QStringLiteral("FAX: 010-1234-5678-9999-00 does not fit in 16 bytes, so nothing "
                              "was pasted");
    }

    void aRefusalBeepsAndSaysWhyBesideTheField() {
        QFETCH(QByteArray, codePage);
        QFETCH(QString, field);
        QFETCH(QString, before);
        QFETCH(bool, paste);
        QFETCH(QString, input);
        QFETCH(QString, after);
        QFETCH(QString, why);
        CWindow window(codePage.constData());
        auto* edit = qobject_cast<orvalen::CByteLimitedEdit*>(window.Edit(field.toLatin1()));
        QVERIFY(edit != nullptr);
        window.Type(edit, before);
        QSignalSpy refusals(edit, &orvalen::CByteLimitedEdit::Refused);
        if (paste)
            Paste(edit, input);
        else
            TypeText(edit, input);
        QCOMPARE(edit->text(), after);
        QCOMPARE(refusals.size(), 1);
        QCOMPARE(refusals.first().first().toString(), why);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), why);
    }

    void unreadableBytesNeverOutgrowTheField() {
        // Sixteen bytes that are no UTF-8 show as sixteen marks; each mark would take three
        // bytes, so once edited they become the '?' they are stored as.
        CWindow window("UTF-8");
        orvalen::CBookEditor& editor = window.Dialog().Editor();
        editor.Form()[orvalen::ContactField::name] = std::string(16, '\xFF');
        editor.WriteForm();
        QLineEdit* name = window.NameEdit();
        name->setFocus(Qt::TabFocusReason);
        name->end(false);
        QTest::keyClick(name, Qt::Key_Backspace);
        QCOMPARE(name->text(), QString(15, QLatin1Char('?')));
        TypeText(name, QStringLiteral("x"));
        window.Press("addButton");
        QCOMPARE(std::string(editor.Table().Text(0, orvalen::ContactField::name)),
                 std::string(15, '?') + "x");
    }

    void theLimitsHoldAfterTheFormIsWritten() {
        CWindow window("ANSI_X3.4-1968");
        window.AddContact(QStringLiteral("0123456789ABCDEF"), QStringLiteral("1"));
        window.Press("clearButton");
        window.AddContact(QStringLiteral("Carl"));
        window.ClickEntry(0);
        QLineEdit* name = window.NameEdit();
        name->end(false);
        TypeText(name, QStringLiteral("0123456789ABCDEFGH"));
        QCOMPARE(name->text(), QStringLiteral("Carl0123456789AB"));
    }
};

QTEST_MAIN(CodePageTest)
#include "CodePageTest.moc"
