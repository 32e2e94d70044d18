// The program-wide values of the window side, each written by one file: the main window, the
// background brush and the latch of the Enter-key shortcut by ui/main.cc, the shared font by
// ui/controls.cc.
#pragma once

#include <windows.h>

#include <cstdint>

extern HWND MainWindow;
extern HBRUSH BackgroundBrush;
// The font of every control, made for the window's DPI.
extern HFONT SharedFont;
// 1 while Enter is seen up, then counts down while it is held; the split runs on reaching 0.
extern int32_t EnterLatch;
