#include "ui/startup.h"

#include "conv/random.h"
#include "ui/main_window.h"
#include "ui/message_loop.h"

int RunProgram() {
  SetRandomState(1);
  CreateSharedResources();
  if (!RegisterMainWindowClass()) return 1;
  if (!CreateMainWindow()) return 1;
  RunMessageLoop();
  return 0;
}
