# Cross build for 64-bit Windows with MinGW-w64, from the same sources as the product, so that
# the Win32 side is tested on every x86-64 machine. Its programs run under 64-bit Wine with the
# prefix of build/win64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(FILECUT_MINGW_TARGET x86_64-w64-mingw32)
set(FILECUT_WINE_LANE win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
