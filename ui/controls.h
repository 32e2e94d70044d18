// The twelve child controls of the main window.
#pragma once

#include <windows.h>

// Creates every control in order, gives each the shared font, and sets the initial state:
// the KB unit checked and a piece size of 500.
void CreateControls(HWND parent);
