// Start-up of the program and its run until the window is closed.
#pragma once

// Sets the generator state to 1, creates the brush, class and main window (with the font and
// the controls), shows the file named by the program's argument as a drop would, and runs the
// message loop. Returns the process exit code: 0 after the window was closed, 1 when the class
// or the window could not be created (there would be no window to wait for).
int RunProgram();
