// The program's start, its main window and its message loop (ui/main.cc).
#pragma once

#include <windows.h>

// Creates the background brush (the shared font comes with the controls, for the window's DPI).
void CreateSharedResources();
// Registers the class "NORMAL0". Returns false when the system refuses.
bool RegisterMainWindowClass();
// Creates the main window (and, through WM_CREATE, its controls). Returns null on failure.
HWND CreateMainWindow();

// The Enter-key shortcut's latch as a window starts: not armed until the key is seen up, so that
// a key already down does not split.
void ResetEnterLatch();
// Runs the split command once per press of Enter that the loop receives itself: on a message
// that is that press, WM_KEYDOWN of VK_RETURN and no repeat, after the key was seen up.
void CheckEnterKey(const MSG& message);
// Handles one message: Esc during a work stops it; the dialog keys (Tab, the arrows, Space) move
// through the controls; everything else, Enter included, is translated and dispatched. Then
// checks the Enter key.
void ProcessMessage(const MSG& message);

// Sets the generator state to 1, creates the brush, class and main window (with the font and
// the controls), shows the file named by the program's argument as a drop would, and runs the
// message loop until the quit message (or an error from GetMessageW). Returns the process exit
// code: 0 after the window was closed, 1 when the class or the window could not be created
// (there would be no window to wait for).
int RunProgram();
