# Cross build of the shipped 32-bit program (filecut.exe alone, no tests) with the win32-thread
# MinGW-w64 compilers. The posix-thread runtime of the other builds brings winpthread, which
# imports GetTickCount64 (Windows Vista and later); this one imports nothing that Windows XP SP3
# lacks (tests/product_imports.txt). The win32 preset builds it in build/win32/product.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(FILECUT_MINGW_TARGET i686-w64-mingw32)
set(FILECUT_MINGW_THREADS win32)
set(FILECUT_WINE_LANE win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
