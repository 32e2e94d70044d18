#include "ui/startup.h"

#include <windows.h>

#include "conv/random.h"
#include "ui/main_window.h"
#include "ui/message_loop.h"

int RunProgram() {
  // A split or restore holds the message loop until it ends. After a few seconds without
  // messages Windows would replace the window by a ghost that offers to end the program, which
  // would leave a half-written piece behind; the window stays as unresponsive as it is instead.
  // (User32, Windows XP and later.)
  DisableProcessWindowsGhosting();
  SetRandomState(1);
  CreateSharedResources();
  if (!RegisterMainWindowClass()) return 1;
  if (!CreateMainWindow()) return 1;
  RunMessageLoop();
  return 0;
}
