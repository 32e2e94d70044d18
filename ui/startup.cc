#include "ui/startup.h"

#include <objbase.h>
#include <windows.h>

#include "conv/random.h"
#include "ui/drop.h"
#include "ui/main_window.h"
#include "ui/message_loop.h"
#include "ui/work.h"

int RunProgram() {
  SetRandomState(1);
  // COM, single-threaded, on the window's thread: for the taskbar's interface and for the
  // objects that screen readers ask the controls for.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  CreateSharedResources();
  int exitCode = 1;
  if (RegisterMainWindowClass() && CreateMainWindow()) {
    OpenFileFromCommandLine(GetCommandLineW());
    RunMessageLoop();
    // A quit posted by another program during a work: the work stops and cleans up first.
    if (WorkRunning()) StopWorkAndWait();
    exitCode = 0;
  }
  if (com) CoUninitialize();
  return exitCode;
}
