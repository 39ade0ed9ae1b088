#pragma once

#include "CodePage.h"

#include <QApplication>

#include <array>
#include <string>

namespace orvalen {

// The program: takes the system's code page, then runs the phone-book window modally until
// it closes. It reads nothing from its command line.
class CContactsApp {
public:
    explicit CContactsApp(const char* programPath);
    CContactsApp(const CContactsApp&) = delete;
    CContactsApp& operator=(const CContactsApp&) = delete;

    int Run();

    // The system's code page, or UTF-8 when the conversion library does not know it.
    static CCodePage SystemCodePage();

private:
    // Taken before the QApplication exists, which may switch the locale to a UTF-8 one.
    CCodePage m_codePage;
    std::string m_program;
    int m_argc = 1;
    std::array<char*, 2> m_argv{};
    QApplication m_application;
};

} // namespace orvalen
