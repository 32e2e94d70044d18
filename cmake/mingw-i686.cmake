# Cross build for 32-bit Windows with MinGW-w64: the test programs of the 32-bit build. The
# shipped filecut.exe comes from cmake/mingw-i686-product.cmake (build/win32/product). The
# programs run under 32-bit Wine with the prefix of build/win32, where the machine executes
# 32-bit x86 code.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(FILECUT_MINGW_TARGET i686-w64-mingw32)
set(FILECUT_WINE_LANE win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
