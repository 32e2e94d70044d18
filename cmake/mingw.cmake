# What both MinGW-w64 toolchain files share. The including file sets FILECUT_MINGW_TARGET (the
# compilers' target triplet) and FILECUT_WINE_LANE (win32 or win64: the Wine that runs what
# the build makes, see scripts/wine-env). The posix-thread compilers are used, because
# GoogleTest needs std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${FILECUT_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FILECUT_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${FILECUT_MINGW_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${FILECUT_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test programs of the build run under that lane's Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run ${FILECUT_WINE_LANE})
