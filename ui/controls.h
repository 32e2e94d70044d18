// The twelve child controls of the main window.
#pragma once

#include <windows.h>

#include <string>

// Creates every control in order, gives each the shared font, and sets the initial state:
// the KB unit checked and a piece size of 500.
void CreateControls(HWND parent);
// Shows a text in the information line, whose box reaches further left for a text longer than
// its own width (a reason for a failure), as far as the path line starts.
void ShowInfo(const std::wstring& text);
// The union of the controls' rectangles in client pixels: the client area the window needs so
// that no control is cut off.
RECT ControlsExtent();
