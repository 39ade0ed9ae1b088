#include "CommandLine.h"
#include "OrvalenTel.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    orvalen::PrepareStandardStreams();
    const std::vector<std::string> args = orvalen::CommandLineArguments(argc, argv);
    const int status = orvalen::RunTool(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout)
        return orvalen::kExitRefused;
    return status;
}
