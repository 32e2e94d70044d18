// The twelve child controls of the main window, and the layout of the window at any DPI: every
// rectangle, the window's size and the font's height are the 96 DPI values scaled by the
// window's DPI, a box grows where its text needs more room in the font the system gives, and
// the window grows where its frame or a grown box leaves a control outside its client area.
#pragma once

#include <windows.h>

#include <string>

// The window's outer size at 96 DPI, before the frame and the controls' text may grow it.
inline constexpr int kWindowWidth = 438;
inline constexpr int kWindowHeight = 115;

// The DPI of the window: of its monitor where Windows tells (Windows 10 1607 and later), else of
// the screen.
UINT WindowDpi(HWND window);
// Creates the shared font and every control in order at the window's DPI, sets the initial
// state (the KB unit checked and a piece size of 500), and gives the window its size.
void CreateControls(HWND parent);
// Makes the checked unit the units' tab stop, so that Tab lands on the chosen one.
void MoveUnitTabStop(HWND window);
// Lays the window out again at `dpi`, in the rectangle `suggested` (WM_DPICHANGED): a new font,
// every control's rectangle, and the window grown where its controls need it.
void LayOutAtDpi(HWND window, UINT dpi, const RECT& suggested);
// Shows a text in the information line, which the layout then places for it: its box reaches
// further left for a text longer than its own width (a reason for a failure).
void ShowInfo(const std::wstring& text);
// Deletes the shared font, as the window goes.
void ReleaseSharedFont();

// Grows the window by exactly what its client area lacks of width x height, in either
// direction, and keeps its position. A client area that is large enough is left as it is.
void GrowClientArea(HWND window, int width, int height);
// Grows the window until its client area holds every control as it is placed.
void FitWindowToControls(HWND window);
