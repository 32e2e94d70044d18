// Keeping every control visible whatever frame the system draws around the main window.
#pragma once

#include <windows.h>

// Grows the window by exactly what its client area lacks of width x height, in either
// direction, and keeps its position. A client area that is large enough is left as it is.
void GrowClientArea(HWND window, int width, int height);
// Grows the window until its client area holds every control.
void FitWindowToControls(HWND window);
