#include "ui/shutdown_block.h"

#include <windows.h>

#include "ui/app_state.h"
#include "ui/later_windows.h"
#include "ui/texts.h"

namespace {
typedef BOOL(WINAPI* ShutdownBlockReasonCreateFn)(HWND, LPCWSTR);
typedef BOOL(WINAPI* ShutdownBlockReasonDestroyFn)(HWND);
}  // namespace

void BlockShutdown(bool block) {
  if (block) {
    if (auto create = LaterFunction<ShutdownBlockReasonCreateFn>(L"user32.dll",
                                                                 "ShutdownBlockReasonCreate")) {
      create(MainWindow, kTextWorkBlocksShutdown);
    }
  } else if (auto destroy = LaterFunction<ShutdownBlockReasonDestroyFn>(
                 L"user32.dll", "ShutdownBlockReasonDestroy")) {
    destroy(MainWindow);
  }
}
