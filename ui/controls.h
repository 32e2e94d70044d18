// The twelve child controls of the main window.
#pragma once

#include <windows.h>

// Creates every control in order, gives each the shared font, and sets the initial state:
// the KB unit checked and a piece size of 500.
void CreateControls(HWND parent);
// The union of the controls' rectangles in client pixels: the client area the window needs so
// that no control is cut off.
RECT ControlsExtent();
