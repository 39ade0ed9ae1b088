// Our texts speak the language of the user's locale (ctest runs this once per LANG); the
// written texts stay word for word, and Qt's own buttons follow where Qt's translations are.
#include "ByteLimitedEdit.h"
#include "GuiTestSupport.h"
#include "ImportDialog.h"
#include "ImportModel.h"
#include "QtTexts.h"
#include "Translations.h"

#include <QLabel>
#include <QLibraryInfo>
#include <QSignalSpy>

using namespace orvalen::testing;

namespace {

struct Expected {
    const char* lang;
    const char* closeQuestion;
    const char* loadQuestion;
    const char* cancelButton; // Qt's own
    const char* tooLong;
    const char* selectAll;
    const char* ok;
    const char* countLine; // one ticked, one place left
};

const Expected kRows[] = {
    {"zh_CN.UTF-8", "电话本有尚未保存的更改。仍要关闭吗？",
     "电话本有尚未保存的更改。仍要载入另一个文件吗？", "取消", "Mobile：最多 16 位数字", "全选(&A)",
     "确定(&O)", "已选 1 个 · 还剩 1 个位置"},
    {"zh_TW.UTF-8", "電話簿有尚未儲存的變更。仍要關閉嗎？",
     "電話簿有尚未儲存的變更。仍要載入另一個檔案嗎？", "取消", "Mobile：最多 16 位數字", "全選(&A)",
     "確定(&O)", "已選 1 個 · 尚餘 1 個位置"},
    {"en_US.UTF-8", "The phone book has changes that are not saved. Close anyway?",
     "The phone book has changes that are not saved. Load another file anyway?", "Cancel",
     "Mobile: at most 16 digits", "Select &all", "&OK", "1 selected · 1 place left"},
};

const Expected* Row() {
    const QByteArray lang = qgetenv("LANG");
    for (const Expected& row : kRows) {
        if (lang == row.lang)
            return &row;
    }
    return nullptr;
}

} // namespace

class TranslationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        orvalen::InstallTranslations(*QCoreApplication::instance());
        orvalen::InstallQtTranslator();
    }
    void cleanup() { CModalScript::CloseLeftovers(); }

    void ourTextsInTheUsersLanguageTheWrittenOnesUnchanged() {
        const Expected* row = Row();
        if (row == nullptr)
            QSKIP("LANG names no row of this test");
        CWindow window("UTF-8");
        QVERIFY(window.IsShown());
        QCOMPARE(window.Button("loadButton")->text(), QStringLiteral("Load"));
        QCOMPARE(window.Button("addButton")->text(), QStringLiteral("Add >>"));

        auto* mobile = qobject_cast<orvalen::CByteLimitedEdit*>(window.MobileEdit());
        QSignalSpy refusals(mobile, &orvalen::CByteLimitedEdit::Refused);
        window.Type(window.MobileEdit(), QString(17, QLatin1Char('7')));
        QVERIFY(!refusals.isEmpty());
        QCOMPARE(refusals.last().at(0).toString(), QString::fromUtf8(row->tooLong));

        window.AddContact(QStringLiteral("Carl"));
        CModalScript script;
        QString cancelText;
        SeenMessage question;
        script.Then([&](QWidget& box) {
            if (auto* message = qobject_cast<QMessageBox*>(&box))
                cancelText = message->button(QMessageBox::Cancel)->text();
            AnswerMessage(question, QMessageBox::Cancel)(box);
        });
        window.Dialog().close();
        QVERIFY(script.Done());
        QCOMPARE(question.text, QString::fromUtf8(row->closeQuestion));
        if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                          QStringLiteral("/qtbase_zh_CN.qm")))
            QCOMPARE(cancelText, QString::fromUtf8(row->cancelButton));

        // The presenter asks the Load question as the close one (its flow is tested in app/).
        QCOMPARE(orvalen::QtText(orvalen::texts::kLoadQuestion),
                 QString::fromUtf8(row->loadQuestion));

        orvalen::ImportFile file;
        file.rows.resize(1);
        orvalen::CImportModel model(orvalen::CCodePage("UTF-8"), 198, file);
        orvalen::CImportDialog dialog(model);
        QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("selectAllButton"))->text(),
                 QString::fromUtf8(row->selectAll));
        QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->text(),
                 QString::fromUtf8(row->ok));
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("countLine"))->text(),
                 QString::fromUtf8(row->countLine));
    }
};

QTEST_MAIN(TranslationTest)
#include "TranslationTest.moc"
