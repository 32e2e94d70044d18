// The message loop and its Enter-key shortcut.
#pragma once

#include <windows.h>

// Handles one message: Esc during a work stops it; the dialog keys (Tab, the arrows, Space) move
// through the controls; everything else, Enter included, is translated and dispatched. Then
// checks the Enter key.
void ProcessMessage(const MSG& message);
// Reads the Enter key's state and runs the split command once per press: on the first message
// processed while the key is down after it was seen up.
void CheckEnterKey();
// Runs until the quit message (or an error from GetMessageW).
void RunMessageLoop();
