# Cross-compiling Tarnwell for 64-bit Windows with Debian's MinGW-w64.
# The -posix compilers are used because googletest needs std::mutex, which the -win32
# thread model of MinGW's libstdc++ lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARNWELL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARNWELL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNWELL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TARNWELL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARNWELL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs every Windows test program under Wine, in a prefix private to the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tests/tools/wine-run")
