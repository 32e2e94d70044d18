// The main window: its class, its creation with the twelve controls, and its procedure.
#pragma once

#include <windows.h>

// Creates the background brush (the shared font comes with the controls, for the window's DPI).
void CreateSharedResources();
// Registers the class "NORMAL0". Returns false when the system refuses.
bool RegisterMainWindowClass();
// Creates the main window (and, through WM_CREATE, its controls). Returns null on failure.
HWND CreateMainWindow();
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
