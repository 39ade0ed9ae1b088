#include "Translations.h"

#include "InterfaceLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <string>
#include <string_view>
#include <vector>

namespace orvalen {
namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Qt names its translations by territory, not by script.
QString QtTranslationName(InterfaceLanguage language) {
    switch (language) {
    case InterfaceLanguage::simplifiedChinese:
        return QStringLiteral("qtbase_zh_CN");
    case InterfaceLanguage::traditionalChinese:
        return QStringLiteral("qtbase_zh_TW");
    case InterfaceLanguage::english:
        break;
    }
    return QStringLiteral("qtbase_en");
}

} // namespace

void InstallTranslations(QCoreApplication& application) {
    std::vector<std::string> preferred;
    for (const QString& name : QLocale::system().uiLanguages())
        preferred.push_back(name.toStdString());
    const InterfaceLanguage language = ChooseInterfaceLanguage(preferred);

    // Each translator belongs to the application and lives as long as it. A missing Qt
    // translation leaves Qt's texts in English; ours are always built in.
    auto* ours = new QTranslator(&application);
    if (ours->load(QStringLiteral(":/translations/orvalen_") + FromView(TranslationName(language))))
        QCoreApplication::installTranslator(ours);
    auto* qt = new QTranslator(&application);
    if (qt->load(QtTranslationName(language), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
}

} // namespace orvalen
