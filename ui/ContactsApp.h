#pragma once

#include <QApplication>

#include <array>
#include <span>
#include <string>
#include <vector>

namespace orvalen {

// The program: takes the player's code page, then runs the phone-book window modally until it
// closes, opening the file its command line names once the window is shown (app/MainPresenter.h
// reads the command line: --encoding NAME and one file). Qt is given the program's name alone,
// so none of Qt's own options change what the program does.
class CContactsApp {
public:
    CContactsApp(int argc, char** argv);
    CContactsApp(const CContactsApp&) = delete;
    CContactsApp& operator=(const CContactsApp&) = delete;

    int Run();

    // Run's work inside the application that already exists, given the arguments after the
    // program's name. 0 when the window has closed; kUnknownEncoding when --encoding names a
    // code page the system cannot convert, kBadArguments for an unknown option or a second
    // file: each after a message box saying so (also on standard error), the window never open.
    static int RunWindow(std::span<const std::string> arguments);
    static constexpr int kUnknownEncoding = 2;
    static constexpr int kBadArguments = 2;

private:
    std::vector<std::string> m_arguments;
    std::string m_program;
    int m_argc = 1;
    std::array<char*, 2> m_argv{};
    QApplication m_application;
};

} // namespace orvalen
