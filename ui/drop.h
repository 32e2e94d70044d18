// Files dropped from the shell onto the main window, or onto the program's icon (which starts
// the program with the file's path as its argument).
#pragma once

#include <windows.h>

// Shows the first dropped file's size in the information line and its path in the path line,
// then releases the drop. A file that cannot be opened shows that in the information line
// instead of a size; its path still reaches the path line.
void InspectDroppedFile(HDROP drop);
// Handles the program's argument, if there is one, as a dropped file: a file dropped on the
// program's icon or sent to it ("Send to"). `commandLine` is the whole command line, the
// program's own name first (GetCommandLineW); nothing but the first argument is read.
void OpenFileFromCommandLine(const wchar_t* commandLine);
