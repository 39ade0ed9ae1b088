# Cross-builds for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The programs link the C++ and threads runtimes statically, so one .exe runs on its own.
# With Wine installed, CMake runs the test programs through it (ctest, test discovery).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVALEN_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVALEN_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVALEN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVALEN_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVALEN_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(ORVALEN_WINE NAMES wine wine64)
if(ORVALEN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVALEN_WINE})
endif()
