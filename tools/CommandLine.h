#pragma once

// The program's arguments as UTF-8 text, whatever the system: on Windows they are taken from
// the system in UTF-16, so file names the ANSI code page cannot hold survive; elsewhere they
// are the bytes given. Requires main's own argc and argv.

#include <string>
#include <vector>

namespace orvalen {

std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Sets up the standard streams for the program's bytes: binary on Windows, so that reports
// keep their CR LF line ends as written and "-" reads the input's bytes as they are.
void PrepareStandardStreams();

} // namespace orvalen
