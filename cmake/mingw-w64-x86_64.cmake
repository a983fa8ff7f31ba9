# Cross-build of the Windows program with MinGW-w64 (posix threads, for GoogleTest).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAV_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test programs run under Wine in a private prefix, in a Japanese locale so that the ANSI code
# page is 932 as on Japanese Windows.
set(TAV_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH "Wine prefix of the test runs")
set(CMAKE_CROSSCOMPILING_EMULATOR
    env LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all WINEPREFIX=${TAV_WINEPREFIX}
    WINEDLLOVERRIDES=mscoree,mshtml= wine)
