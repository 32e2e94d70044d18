// Windows-only helpers shared by the window tests, the window driver and the real-fault tests.
#pragma once

#include <windows.h>

// Presses (or releases) one key as real keyboard input, through SendInput. The key reaches
// the focused thread's queue asynchronously.
void SendKey(WORD key, bool up);

// Opens a file the way another program would that shares nothing, so that every other open
// of it fails until CloseHandle. Returns INVALID_HANDLE_VALUE when the file cannot be opened.
HANDLE HoldWithoutSharing(const char* path);
