#include "ContactsApp.h"

#include "DialogLayout.h"
#include "MainDialog.h"
#include "Translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

#include <string_view>

namespace orvalen {

std::optional<std::string> CContactsApp::EncodingOption(int argc, const char* const* argv) {
    constexpr std::string_view kOption = "--encoding";
    std::optional<std::string> name;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        const std::string_view arg = argv[i];
        if (arg == kOption)
            name = i + 1 < argc && argv[i + 1] != nullptr ? argv[++i] : "";
        else if (arg.starts_with(kOption) && arg[kOption.size()] == '=')
            name = std::string(arg.substr(kOption.size() + 1));
    }
    return name;
}

// Qt is given the program's name alone, so no other argument changes what the program does.
CContactsApp::CContactsApp(int argc, char** argv)
    : m_codePage(PlayerCodePage(EncodingOption(argc, argv), LocaleEnvironment::OfProcess())),
      m_program(argc > 0 && argv[0] != nullptr ? argv[0] : "Orvalen"), m_argv{m_program.data(),
                                                                              nullptr},
      m_application(m_argc, m_argv.data()) {}

int CContactsApp::Run() {
    InstallTranslations(m_application);
    QApplication::setFont(DialogFont());
    if (!m_codePage.IsAvailable()) {
        QMessageBox box(QMessageBox::Critical,
                        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(),
                        //: Error at start-up. %1 is the name given after --encoding; the
                        //: option and GBK are typed as they stand.
                        QCoreApplication::translate("Orvalen",
                                                    "Unknown code page \"%1\" given with "
                                                    "--encoding; try --encoding GBK.")
                            .arg(QString::fromStdString(m_codePage.Name())),
                        QMessageBox::Ok);
        box.setObjectName(QStringLiteral("unknownEncoding"));
        box.exec();
        return kUnknownEncoding;
    }
    CMainDialog dialog(m_codePage);
    QApplication::setWindowIcon(dialog.windowIcon());
    dialog.exec();
    return 0;
}

} // namespace orvalen
