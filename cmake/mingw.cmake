# What the MinGW-w64 toolchain files share. The including file sets FILECUT_MINGW_TARGET (the
# compilers' target triplet), FILECUT_WINE_LANE (win32 or win64: the Wine that runs what the
# build makes, see scripts/wine-env) and may set FILECUT_MINGW_THREADS. By default the
# posix-thread compilers are used, because GoogleTest needs std::mutex; the win32-thread ones
# have no std::mutex in this GCC, but their runtime runs on Windows XP.
if(NOT FILECUT_MINGW_THREADS)
  set(FILECUT_MINGW_THREADS posix)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${FILECUT_MINGW_TARGET}-gcc-${FILECUT_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${FILECUT_MINGW_TARGET}-g++-${FILECUT_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${FILECUT_MINGW_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${FILECUT_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test programs of the build run under that lane's Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run ${FILECUT_WINE_LANE})
