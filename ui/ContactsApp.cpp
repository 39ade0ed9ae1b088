#include "ContactsApp.h"

#include "DialogLayout.h"
#include "MainDialog.h"

namespace orvalen {

CCodePage CContactsApp::SystemCodePage() {
    CCodePage codePage(CCodePage::SystemName());
    if (!codePage.IsAvailable())
        return CCodePage("UTF-8");
    return codePage;
}

// Qt is given the program's name alone, so no argument changes what the program does.
CContactsApp::CContactsApp(const char* programPath)
    : m_codePage(SystemCodePage()),
      m_program(programPath != nullptr ? programPath : "Orvalen"), m_argv{m_program.data(),
                                                                          nullptr},
      m_application(m_argc, m_argv.data()) {}

int CContactsApp::Run() {
    QApplication::setFont(DialogFont());
    CMainDialog dialog(m_codePage);
    QApplication::setWindowIcon(dialog.windowIcon());
    dialog.exec();
    return 0;
}

} // namespace orvalen
