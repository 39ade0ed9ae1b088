// Writes the pictures of the two windows, of the question asked on closing with unsaved
// changes and of the import dialog, for the documentation:
//   QT_QPA_PLATFORM=offscreen orvalen_screenshots [folder]   (default: docs)
// Our texts are in the language of the locale, as in the program: LANG=zh_CN.UTF-8 and the
// folder docs/zh_Hans give the Chinese pictures.
#include "AboutDialog.h"
#include "ContactImport.h"
#include "ImportDialog.h"
#include "MainDialog.h"
#include "QtTexts.h"
#include "Texts.h"
#include "Translations.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <array>

namespace {

struct Contact {
    const char* name;
    const char* mobile;
    const char* telephone;
    const char* email;
    const char* qq;
    const char* fax;
};

bool Save(QWidget& window, const QDir& folder, const QString& file) {
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(file);
    const bool saved = window.grab().save(path);
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "cannot write ") << path << '\n';
    return saved;
}

// The import dialog over the window's phone book, with a phone's export of a few contacts: one
// already in the phone book, one whose number is too long even without its formatting.
bool SaveImportDialog(orvalen::CMainDialog& window, const QDir& folder, const QString& file) {
    QTemporaryDir temporary;
    const QString path = temporary.filePath(QStringLiteral("phone.vcf"));
    QFile vcf(path);
    if (!vcf.open(QIODevice::WriteOnly))
        return false;
    static const char* const kCards[][3] = {
        {"王芳", "+86 150 1111 2222", "wangfang@example.cn"},
        {"陈静", "+86 139 0000 1234", "chen.jing@example.cn"},
        {"刘洋", "186 0000 5678", ""},
        {"Maria Rossi", "+39 347 123 4567 ext 12", "maria@example.it"},
        {"赵磊", "13711112222", "zhaolei@example.cn"},
        {"Tom Baker", "+1 (650) 555-0100", "tom@example.com"},
        {"孙丽", "13566667777", ""},
        {"周杰", "18912345678", "zhoujie@example.cn"},
    };
    QByteArray cards;
    for (const auto& card : kCards) {
        cards += QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:") + card[0] +
                 "\r\nTEL;TYPE=CELL:" + card[1] + "\r\n";
        if (card[2][0] != '\0')
            cards += QByteArray("EMAIL:") + card[2] + "\r\n";
        cards += "END:VCARD\r\n";
    }
    vcf.write(cards);
    vcf.close();

    auto read = orvalen::ReadImportFile(path.toStdString(), window.Codec().CodePage(),
                                        window.Editor().Table());
    if (!read)
        return false;
    orvalen::CImportModel model(window.Codec().CodePage(), window.Editor().Table().Count(),
                                std::move(*read));
    orvalen::CImportDialog dialog(model, &window);
    return Save(dialog, folder, file);
}

// Closes the window with unsaved changes and draws the question it asks over the window, as
// the user sees it; the question is then answered Cancel, so the window stays.
bool SaveCloseQuestion(QWidget& window, const QDir& folder, const QString& file) {
    QPixmap picture = window.grab();
    bool asked = false;
    QTimer::singleShot(100, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        asked = true;
        const QPixmap question = box->grab();
        QPainter painter(&picture);
        const QPoint at((picture.width() - question.width()) / 2,
                        (picture.height() - question.height()) / 2);
        painter.drawPixmap(at, question);
        painter.setPen(box->palette().color(QPalette::Shadow));
        painter.drawRect(QRect(at, question.size()).adjusted(-1, -1, 0, 0));
        box->reject();
    });
    window.close();
    const QString path = folder.filePath(file);
    const bool saved = asked && window.isVisible() && picture.save(path);
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "cannot write ") << path << '\n';
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    orvalen::InstallTranslations(application);
    orvalen::InstallQtTranslator();
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));
    if (!QDir().mkpath(folder.path()))
        return 1;

    // GBK, as the players expect: the names sort by their GBK bytes.
    orvalen::CMainDialog window(orvalen::CCodePage("GBK"));
    static constexpr std::array<Contact, 5> kContacts = {{
        {"张伟", "13800138000", "010-62345678", "zhang.wei@example.cn", "12345678", ""},
        {"Alice Chen", "13912345678", "", "alice@example.com", "", ""},
        {"李娜", "13700001111", "021-55556666", "", "87654321", "021-55556667"},
        {"王芳", "15011112222", "", "wangfang@example.cn", "", ""},
        {"Bob", "18600000000", "", "", "", ""},
    }};
    const std::array<const char*, 6> fields = {"nameEdit",  "mobileEdit", "telephoneEdit",
                                               "emailEdit", "qqEdit",     "faxEdit"};
    auto* add = window.findChild<QPushButton*>(QStringLiteral("addButton"));
    for (const Contact& contact : kContacts) {
        const std::array<const char*, 6> texts = {contact.name,  contact.mobile, contact.telephone,
                                                  contact.email, contact.qq,     contact.fax};
        for (std::size_t i = 0; i < fields.size(); ++i) {
            auto* edit = window.findChild<QLineEdit*>(QLatin1String(fields[i]));
            edit->setText(QString::fromUtf8(texts[i]));
        }
        add->click();
    }
    // Show the first contact, as a click on it would.
    auto* list = window.findChild<QListWidget*>(QStringLiteral("nameList"));
    list->setCurrentRow(0);

    orvalen::CAboutDialog about(orvalen::Tr(orvalen::texts::kAboutCodePage, {"GBK"}));
    const bool ok =
        Save(window, folder, QStringLiteral("screenshot-main.png")) &&
        Save(about, folder, QStringLiteral("screenshot-about.png")) &&
        SaveCloseQuestion(window, folder, QStringLiteral("screenshot-close-question.png")) &&
        SaveImportDialog(window, folder, QStringLiteral("screenshot-import.png"));
    return ok ? 0 : 1;
}
