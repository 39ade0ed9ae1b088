#include "ContactsApp.h"

#include "DialogLayout.h"
#include "MainDialog.h"
#include "MainPresenter.h"
#include "QtTexts.h"
#include "Translations.h"

#include <cstdio>

namespace orvalen {

namespace {

std::vector<std::string> Arguments(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i)
        arguments.emplace_back(argv[i]);
    return arguments;
}

// Before the window exists: in a message box, and on standard error for a command line.
void ShowStartFailure(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    ShowFailure(nullptr, text, {});
}

} // namespace

CContactsApp::CContactsApp(int argc, char** argv)
    : m_arguments(Arguments(argc, argv)),
      m_program(argc > 0 && argv[0] != nullptr ? argv[0] : "Orvalen"), m_argv{m_program.data(),
                                                                              nullptr},
      m_application(m_argc, m_argv.data()) {}

int CContactsApp::Run() {
    InstallTranslations(m_application);
    QApplication::setFont(DialogFont());
    InstallQtTranslator();
    return RunWindow(m_arguments);
}

int CContactsApp::RunWindow(std::span<const std::string> arguments) {
    const CommandLine line = ParseCommandLine(arguments);
    if (!line.error.empty()) {
        ShowStartFailure(line.error);
        return kBadArguments;
    }
    const CCodePage codePage = PlayerCodePage(line.encoding, LocaleEnvironment::OfProcess());
    if (!codePage.IsAvailable()) {
        ShowStartFailure(Tr(texts::kUnknownEncoding, {codePage.Name()}));
        return kUnknownEncoding;
    }
    CMainDialog dialog(codePage);
    QApplication::setWindowIcon(dialog.windowIcon());
    if (line.file) {
        // Queued, so that it runs once exec() has shown the window.
        QMetaObject::invokeMethod(
            &dialog, [&dialog, file = *line.file] { dialog.Presenter().OpenFile(file); },
            Qt::QueuedConnection);
    }
    dialog.exec();
    return 0;
}

} // namespace orvalen
