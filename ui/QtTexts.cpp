#include "QtTexts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include <string>

namespace orvalen {
namespace {

// Qt picks the plural form for count and puts it in for %n; -1 is no count.
std::string TranslateWithQt(const CText& text, int count) {
    return QCoreApplication::translate(kTextContext, text.source, nullptr, count).toStdString();
}

} // namespace

void InstallQtTranslator() {
    SetTextTranslator(&TranslateWithQt);
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString QtText(const CText& text) {
    return FromUtf8(Tr(text));
}

QString ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void PrepareMessageBox(QMessageBox& box) {
    const QString caption = ApplicationName();
    box.setWindowTitle(caption);
    // A short text makes a narrow box, and the title bar then cuts the caption ("O…en"). The
    // room asked for holds the caption and, beside it, the title bar's icon and buttons.
    if (auto* layout = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = box.fontMetrics().horizontalAdvance(caption) * 2 + 200;
        layout->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                        layout->rowCount(), 0, 1, layout->columnCount());
    }
}

void ShowFailure(QWidget* parent, std::string_view text, std::string_view detail) {
    QMessageBox box(QMessageBox::Critical, ApplicationName(), FromUtf8(text), QMessageBox::Ok,
                    parent);
    box.setObjectName(QStringLiteral("failure"));
    // The system's reason and the path, in the system's own encoding (not the player's).
    if (!detail.empty())
        box.setInformativeText(
            QString::fromLocal8Bit(detail.data(), static_cast<qsizetype>(detail.size())));
    PrepareMessageBox(box);
    box.exec();
}

} // namespace orvalen
