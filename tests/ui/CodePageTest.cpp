// The fields hold at most 16, 16, 32, 32, 16 and 16 bytes of the code page, and only characters
// the code page has; the names reach the phone book as code-page bytes and sort by them.
#include "ByteLimitedEdit.h"
#include "ContactsApp.h"
#include "GuiTestSupport.h"

#include <QClipboard>
#include <QSignalSpy>
#include <QToolTip>

#include <clocale>

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

    void theProgramTakesTheCodePageOfTheLocale_data() {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("codePage");
        QTest::newRow("Chinese GBK") << QByteArray("zh_CN.GBK") << QStringLiteral("GBK");
        QTest::newRow("C") << QByteArray("C") << QStringLiteral("ANSI_X3.4-1968");
        QTest::newRow("UTF-8") << QByteArray("C.UTF-8") << QStringLiteral("UTF-8");
    }

    void theProgramTakesTheCodePageOfTheLocale() {
        QFETCH(QByteArray, locale);
        QFETCH(QString, codePage);
        const std::string before = std::setlocale(LC_ALL, nullptr);
        if (std::setlocale(LC_ALL, locale.constData()) == nullptr) {
            std::setlocale(LC_ALL, before.c_str());
            QSKIP("locale not installed; for GBK: apt-get install locales && "
                  "localedef -i zh_CN -f GBK zh_CN.GBK");
        }
        const QByteArray savedAll = qgetenv("LC_ALL");
        qputenv("LC_ALL", locale);
        const orvalen::CCodePage taken = orvalen::CContactsApp::SystemCodePage();
        qputenv("LC_ALL", savedAll);
        std::setlocale(LC_ALL, before.c_str());
        QCOMPARE(QString::fromStdString(taken.Name()), codePage);
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
            << QStringLiteral("Mobile: 16 bytes at most");
        QTest::newRow("a character GBK lacks")
            << QByteArray("GBK") << QStringLiteral("nameEdit") << QStringLiteral("李") << false
            << QStringLiteral("😀") << QStringLiteral("李")
            << QStringLiteral("GBK has no character for 😀");
        QTest::newRow("a paste cut at a character boundary")
            << QByteArray("GBK") << QStringLiteral("nameEdit") << QStringLiteral("A") << true
            << QStringLiteral("张三李四王五赵六") << QStringLiteral("A张三李四王五赵")
            << QStringLiteral("Name: 16 bytes at most");
        QTest::newRow("a pasted NUL")
            << QByteArray("GBK") << QStringLiteral("qqEdit") << QStringLiteral("") << true
            << QStringLiteral("12") + QChar(0) + QStringLiteral("3\n") << QStringLiteral("123")
            << QStringLiteral("QQ: no control characters");
        QTest::newRow("U+FFFD past the limit in UTF-8")
            << QByteArray("UTF-8") << QStringLiteral("faxEdit") << QStringLiteral("0123456789ABCD")
            << false << QStringLiteral("\uFFFD") << QStringLiteral("0123456789ABCD")
            << QStringLiteral("FAX: 16 bytes at most");
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
