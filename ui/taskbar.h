// The progress of a work on the window's taskbar button, on Windows 7 and later. The taskbar's
// interface is asked for once the shell says that the button exists; on Windows XP and Vista,
// which have no such interface, nothing shows and nothing fails.
#pragma once

#include <windows.h>

// The message that the shell sends once the window's taskbar button exists (registered by name,
// so its value is known only at run time).
UINT TaskbarButtonCreatedMessage();
// Lets that message through to a program run with more rights than the shell.
void AllowTaskbarMessage(HWND window);
// Once the message has come: gets the taskbar's interface (once), through COM, which start-up
// has initialised on the window's thread.
void ConnectTaskbar();
// Shows `percent` on the button, or no progress.
void ShowTaskbarProgress(HWND window, unsigned percent);
void ClearTaskbarProgress(HWND window);
// Lets the interface go, before the window does.
void DisconnectTaskbar();
