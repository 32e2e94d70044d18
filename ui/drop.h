// Files dropped from the shell onto the main window.
#pragma once

#include <windows.h>

// Shows the first dropped file's size in the information line and its path in the path line,
// then releases the drop. A file that cannot be opened shows that in the information line
// instead of a size; its path still reaches the path line.
void InspectDroppedFile(HDROP drop);
