# Cross-compiling for Windows with Debian's mingw-w64 (the -posix thread flavour, which has
# std::mutex and std::thread). Included by the per-architecture toolchain files, which set
# VOZIROZ_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VOZIROZ_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VOZIROZ_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VOZIROZ_MINGW_TRIPLE}-windres)
set(VOZIROZ_WIDL ${VOZIROZ_MINGW_TRIPLE}-widl)

set(CMAKE_FIND_ROOT_PATH /usr/${VOZIROZ_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs the test programs built this way.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
