// Arguments and standard streams on POSIX systems: bytes as given.
#include "CommandLine.h"

namespace orvalen {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void PrepareStandardStreams() {}

} // namespace orvalen
