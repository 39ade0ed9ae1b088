#include "OrvalenTel.h"

#include <iostream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#if defined(_WIN32)
    // show writes the report's bytes as they are, CR LF included; - reads bytes as they are.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    const int status = orvalen::RunTool(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout)
        return orvalen::kExitRefused;
    return status;
}
