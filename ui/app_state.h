// The program-wide values of the window side: the main window, the shared font and brush,
// and the latch of the Enter-key shortcut.
#pragma once

#include <windows.h>

#include <cstdint>

extern HWND MainWindow;
extern HFONT SharedFont;
extern HBRUSH BackgroundBrush;
// 1 while Enter is seen up, then counts down while it is held; the split runs on reaching 0.
extern int32_t EnterLatch;
