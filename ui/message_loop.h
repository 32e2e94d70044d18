// The message loop and its Enter-key shortcut.
#pragma once

#include <windows.h>

// Translates and dispatches one message (Esc during a work stops it instead), then checks the
// Enter key.
void ProcessMessage(const MSG& message);
// Reads the Enter key's state and runs the split command once per press: on the first message
// processed while the key is down after it was seen up.
void CheckEnterKey();
// Runs until the quit message (or an error from GetMessageW).
void RunMessageLoop();
