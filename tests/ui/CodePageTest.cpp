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

    // The player's code page, as the window takes it from its command line and environment.
    void theProgramTakesThePlayersCodePage_data() {
        QTest::addColumn<QByteArray>("lcAll");
        QTest::addColumn<QByteArray>("lcCtype");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("codePage");
        QTest::newRow("Chinese desktop")
            << QByteArray("") << QByteArray("") << QByteArray("zh_CN.UTF-8") << QStringList()
            << QStringLiteral("GBK");
        QTest::newRow("Singapore") << QByteArray("") << QByteArray("") << QByteArray("zh_SG")
                                   << QStringList() << QStringLiteral("GBK");
        QTest::newRow("Taiwan") << QByteArray("") << QByteArray("") << QByteArray("zh_TW.UTF-8")
                                << QStringList() << QStringLiteral("CP950");
        QTest::newRow("Hong Kong") << QByteArray("") << QByteArray("") << QByteArray("zh_HK.UTF-8")
                                   << QStringList() << QStringLiteral("CP950");
        QTest::newRow("Macau") << QByteArray("") << QByteArray("") << QByteArray("zh_MO")
                               << QStringList() << QStringLiteral("CP950");
        QTest::newRow("Japanese") << QByteArray("") << QByteArray("") << QByteArray("ja_JP.UTF-8")
                                  << QStringList() << QStringLiteral("CP932");
        QTest::newRow("Korean") << QByteArray("") << QByteArray("") << QByteArray("ko_KR.UTF-8")
                                << QStringList() << QStringLiteral("CP949");
        QTest::newRow("Russian") << QByteArray("") << QByteArray("") << QByteArray("ru_RU.UTF-8")
                                 << QStringList() << QStringLiteral("CP1251");
        QTest::newRow("Ukrainian") << QByteArray("") << QByteArray("") << QByteArray("uk_UA.UTF-8")
                                   << QStringList() << QStringLiteral("CP1251");
        QTest::newRow("Belarusian") << QByteArray("") << QByteArray("") << QByteArray("be_BY.UTF-8")
                                    << QStringList() << QStringLiteral("CP1251");
        QTest::newRow("Bulgarian") << QByteArray("") << QByteArray("") << QByteArray("bg_BG.UTF-8")
                                   << QStringList() << QStringLiteral("CP1251");
        QTest::newRow("Macedonian") << QByteArray("") << QByteArray("") << QByteArray("mk_MK.UTF-8")
                                    << QStringList() << QStringLiteral("CP1251");
        QTest::newRow("Serbian with a modifier")
            << QByteArray("") << QByteArray("") << QByteArray("sr_RS.UTF-8@latin") << QStringList()
            << QStringLiteral("CP1251");
        QTest::newRow("Czech") << QByteArray("") << QByteArray("") << QByteArray("cs_CZ.UTF-8")
                               << QStringList() << QStringLiteral("CP1250");
        QTest::newRow("Polish") << QByteArray("") << QByteArray("") << QByteArray("pl_PL.UTF-8")
                                << QStringList() << QStringLiteral("CP1250");
        QTest::newRow("Hungarian") << QByteArray("") << QByteArray("") << QByteArray("hu_HU.UTF-8")
                                   << QStringList() << QStringLiteral("CP1250");
        QTest::newRow("Slovak") << QByteArray("") << QByteArray("") << QByteArray("sk_SK.UTF-8")
                                << QStringList() << QStringLiteral("CP1250");
        QTest::newRow("Slovenian") << QByteArray("") << QByteArray("") << QByteArray("sl_SI.UTF-8")
                                   << QStringList() << QStringLiteral("CP1250");
        QTest::newRow("Croatian") << QByteArray("") << QByteArray("") << QByteArray("hr_HR.UTF-8")
                                  << QStringList() << QStringLiteral("CP1250");
        QTest::newRow("Romanian") << QByteArray("") << QByteArray("") << QByteArray("ro_RO.UTF-8")
                                  << QStringList() << QStringLiteral("CP1250");
        QTest::newRow("Albanian") << QByteArray("") << QByteArray("") << QByteArray("sq_AL.UTF-8")
                                  << QStringList() << QStringLiteral("CP1250");
        QTest::newRow("Bosnian") << QByteArray("") << QByteArray("") << QByteArray("bs_BA.UTF-8")
                                 << QStringList() << QStringLiteral("CP1250");
        QTest::newRow("Greek") << QByteArray("") << QByteArray("") << QByteArray("el_GR.UTF-8")
                               << QStringList() << QStringLiteral("CP1253");
        QTest::newRow("Turkish") << QByteArray("") << QByteArray("") << QByteArray("tr_TR.UTF-8")
                                 << QStringList() << QStringLiteral("CP1254");
        QTest::newRow("Azerbaijani")
            << QByteArray("") << QByteArray("") << QByteArray("az_AZ.UTF-8") << QStringList()
            << QStringLiteral("CP1254");
        QTest::newRow("Hebrew") << QByteArray("") << QByteArray("") << QByteArray("he_IL.UTF-8")
                                << QStringList() << QStringLiteral("CP1255");
        QTest::newRow("Arabic") << QByteArray("") << QByteArray("") << QByteArray("ar_EG.UTF-8")
                                << QStringList() << QStringLiteral("CP1256");
        QTest::newRow("Persian") << QByteArray("") << QByteArray("") << QByteArray("fa_IR.UTF-8")
                                 << QStringList() << QStringLiteral("CP1256");
        QTest::newRow("Urdu") << QByteArray("") << QByteArray("") << QByteArray("ur_PK.UTF-8")
                              << QStringList() << QStringLiteral("CP1256");
        QTest::newRow("Estonian") << QByteArray("") << QByteArray("") << QByteArray("et_EE.UTF-8")
                                  << QStringList() << QStringLiteral("CP1257");
        QTest::newRow("Latvian") << QByteArray("") << QByteArray("") << QByteArray("lv_LV.UTF-8")
                                 << QStringList() << QStringLiteral("CP1257");
        QTest::newRow("Lithuanian") << QByteArray("") << QByteArray("") << QByteArray("lt_LT.UTF-8")
                                    << QStringList() << QStringLiteral("CP1257");
        QTest::newRow("Vietnamese") << QByteArray("") << QByteArray("") << QByteArray("vi_VN.UTF-8")
                                    << QStringList() << QStringLiteral("CP1258");
        QTest::newRow("Thai") << QByteArray("") << QByteArray("") << QByteArray("th_TH.UTF-8")
                              << QStringList() << QStringLiteral("CP874");
        QTest::newRow("English") << QByteArray("") << QByteArray("") << QByteArray("en_US.UTF-8")
                                 << QStringList() << QStringLiteral("CP1252");
        QTest::newRow("German with a modifier")
            << QByteArray("") << QByteArray("") << QByteArray("de_DE.UTF-8@euro") << QStringList()
            << QStringLiteral("CP1252");
        QTest::newRow("C") << QByteArray("") << QByteArray("") << QByteArray("C") << QStringList()
                           << QStringLiteral("CP1252");
        QTest::newRow("POSIX") << QByteArray("") << QByteArray("") << QByteArray("POSIX")
                               << QStringList() << QStringLiteral("CP1252");
        QTest::newRow("C.UTF-8") << QByteArray("") << QByteArray("") << QByteArray("C.UTF-8")
                                 << QStringList() << QStringLiteral("CP1252");
        QTest::newRow("empty environment") << QByteArray("") << QByteArray("") << QByteArray("")
                                           << QStringList() << QStringLiteral("CP1252");
        QTest::newRow("plain ASCII")
            << QByteArray("") << QByteArray("") << QByteArray("en_US.ANSI_X3.4-1968")
            << QStringList() << QStringLiteral("CP1252");
        QTest::newRow("GBK locale") << QByteArray("") << QByteArray("") << QByteArray("zh_CN.GBK")
                                    << QStringList() << QStringLiteral("GBK");
        QTest::newRow("Big5 locale") << QByteArray("") << QByteArray("") << QByteArray("zh_TW.Big5")
                                     << QStringList() << QStringLiteral("Big5");
        QTest::newRow("CP1251 locale")
            << QByteArray("") << QByteArray("") << QByteArray("ru_RU.CP1251") << QStringList()
            << QStringLiteral("CP1251");
        QTest::newRow("Latin-9 locale with a modifier")
            << QByteArray("") << QByteArray("") << QByteArray("de_DE.ISO-8859-15@euro")
            << QStringList() << QStringLiteral("ISO-8859-15");
        QTest::newRow("unknown character set")
            << QByteArray("") << QByteArray("") << QByteArray("zh_CN.NO-SUCH-SET") << QStringList()
            << QStringLiteral("GBK");
        QTest::newRow("LC_ALL over LANG")
            << QByteArray("ja_JP.UTF-8") << QByteArray("") << QByteArray("zh_CN.UTF-8")
            << QStringList() << QStringLiteral("CP932");
        QTest::newRow("LC_ALL over LC_CTYPE")
            << QByteArray("zh_CN.UTF-8") << QByteArray("ru_RU.UTF-8") << QByteArray("")
            << QStringList() << QStringLiteral("GBK");
        QTest::newRow("LC_CTYPE over LANG")
            << QByteArray("") << QByteArray("ru_RU.UTF-8") << QByteArray("zh_CN.UTF-8")
            << QStringList() << QStringLiteral("CP1251");
        QTest::newRow("--encoding over the locale")
            << QByteArray("") << QByteArray("") << QByteArray("zh_CN.UTF-8")
            << QStringLiteral("--encoding CP1251").split(QLatin1Char(' '), Qt::SkipEmptyParts)
            << QStringLiteral("CP1251");
        QTest::newRow("--encoding=NAME")
            << QByteArray("zh_CN.GBK") << QByteArray("") << QByteArray("")
            << QStringLiteral("--encoding=UTF-8").split(QLatin1Char(' '), Qt::SkipEmptyParts)
            << QStringLiteral("UTF-8");
        QTest::newRow("other arguments")
            << QByteArray("") << QByteArray("") << QByteArray("zh_CN.UTF-8")
            << QStringLiteral("-style fusion file.tel").split(QLatin1Char(' '), Qt::SkipEmptyParts)
            << QStringLiteral("GBK");
    }

    void theProgramTakesThePlayersCodePage() {
        QFETCH(QByteArray, lcAll);
        QFETCH(QByteArray, lcCtype);
        QFETCH(QByteArray, lang);
        QFETCH(QStringList, arguments);
        QFETCH(QString, codePage);
        std::vector<std::string> args{"Orvalen"};
        for (const QString& argument : arguments)
            args.push_back(argument.toStdString());
        std::vector<const char*> argv;
        for (const std::string& arg : args)
            argv.push_back(arg.c_str());
        const orvalen::CCodePage taken = orvalen::PlayerCodePage(
            orvalen::CContactsApp::EncodingOption(static_cast<int>(argv.size()), argv.data()),
            {lcAll.toStdString(), lcCtype.toStdString(), lang.toStdString()});
        QCOMPARE(QString::fromStdString(taken.Name()), codePage);
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
        orvalen::CAboutDialog about("GBK");
        const auto* line = about.findChild<QLabel*>(QStringLiteral("codePage"));
        QVERIFY(line != nullptr);
        QCOMPARE(line->text(), QStringLiteral("代码页：GBK"));
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
