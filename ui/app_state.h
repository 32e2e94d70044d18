// The program-wide values of the window side, each written by one file: the main window (from
// its creation to its destruction) and the background brush by ui/main.cc, the shared font by
// ui/controls.cc.
#pragma once

#include <windows.h>

extern HWND MainWindow;
extern HBRUSH BackgroundBrush;
// The font of every control, made for the window's DPI.
extern HFONT SharedFont;
