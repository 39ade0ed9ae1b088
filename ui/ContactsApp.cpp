#include "ContactsApp.h"

#include "DialogLayout.h"
#include "MainDialog.h"
#include "MainPresenter.h"
#include "QtTexts.h"
#include "Translations.h"

#include <QMessageBox>

#include <string>
#include <vector>

namespace orvalen {

namespace {

std::optional<std::string> EncodingOption(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i)
        arguments.emplace_back(argv[i]);
    return ParseCommandLine(arguments).encoding;
}

} // namespace

// Qt is given the program's name alone, so no other argument changes what the program does.
CContactsApp::CContactsApp(int argc, char** argv)
    : m_codePage(PlayerCodePage(EncodingOption(argc, argv), LocaleEnvironment::OfProcess())),
      m_program(argc > 0 && argv[0] != nullptr ? argv[0] : "Orvalen"), m_argv{m_program.data(),
                                                                              nullptr},
      m_application(m_argc, m_argv.data()) {}

int CContactsApp::Run() {
    InstallTranslations(m_application);
    QApplication::setFont(DialogFont());
    InstallQtTranslator();
    if (!m_codePage.IsAvailable()) {
        QMessageBox box(QMessageBox::Critical, ApplicationName(),
                        FromUtf8(Tr(texts::kUnknownEncoding, {m_codePage.Name()})),
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
