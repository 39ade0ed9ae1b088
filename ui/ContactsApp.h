#pragma once

#include "CodePage.h"

#include <QApplication>

#include <array>
#include <optional>
#include <string>

namespace orvalen {

// The program: takes the player's code page, then runs the phone-book window modally until it
// closes. Its command line has one option, --encoding NAME, which names the code page; nothing
// else on it changes what the program does.
class CContactsApp {
public:
    CContactsApp(int argc, char** argv);
    CContactsApp(const CContactsApp&) = delete;
    CContactsApp& operator=(const CContactsApp&) = delete;

    // 0 when the window has closed; kUnknownEncoding, after a message naming it, when
    // --encoding names a code page the system cannot convert (the window never opens).
    int Run();
    static constexpr int kUnknownEncoding = 2;

private:
    CCodePage m_codePage;
    std::string m_program;
    int m_argc = 1;
    std::array<char*, 2> m_argv{};
    QApplication m_application;
};

} // namespace orvalen
