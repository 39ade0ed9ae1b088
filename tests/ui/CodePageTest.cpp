// The fields hold at most 16, 16, 32, 32, 16 and 16 bytes of the code page, and only characters
// the code page has; the names reach the phone book as code-page bytes and sort by them.
#include "ContactsApp.h"
#include "GuiTestSupport.h"

#include <QClipboard>

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
