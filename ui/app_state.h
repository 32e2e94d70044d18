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
// 1 once Enter has been seen up, 0 from a press of it on: a press splits only while it is 1.
extern int32_t EnterLatch;
