#include "ui/startup.h"

#include <windows.h>

#include "conv/random.h"
#include "ui/main_window.h"
#include "ui/message_loop.h"
#include "ui/work.h"

int RunProgram() {
  SetRandomState(1);
  CreateSharedResources();
  if (!RegisterMainWindowClass()) return 1;
  if (!CreateMainWindow()) return 1;
  RunMessageLoop();
  // A quit posted by another program during a work: the work stops and cleans up first.
  if (WorkRunning()) StopWorkAndWait();
  return 0;
}
