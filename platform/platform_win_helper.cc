// The Win32 helper's thread and the semaphores it sleeps on (platform/helper.h).
#include <process.h>
#include <windows.h>

#include <new>

#include "platform/helper.h"
#include "platform/helper_state.h"
#include "platform/platform_win.h"

namespace {

unsigned __stdcall RunHelperThread(void* helper) {
  RunHelper(static_cast<Helper*>(helper));
  return 0;
}

}  // namespace

// The helper's thread comes from the C runtime (as the window's work does), so that whatever its
// tasks call of the runtime is set up for it.
Helper* Win32StartHelper() {
  Helper* helper = new (std::nothrow) Helper;
  if (!helper) return nullptr;
  HANDLE wakeHelper = CreateSemaphoreW(nullptr, 0, LONG_MAX, nullptr);
  HANDLE wakeCaller = CreateSemaphoreW(nullptr, 0, LONG_MAX, nullptr);
  helper->wakeHelper = reinterpret_cast<Signal>(wakeHelper);
  helper->wakeCaller = reinterpret_cast<Signal>(wakeCaller);
  const uintptr_t thread = wakeHelper && wakeCaller
                               ? _beginthreadex(nullptr, 0, RunHelperThread, helper, 0, nullptr)
                               : 0;
  if (thread == 0) {
    if (wakeHelper) CloseHandle(wakeHelper);
    if (wakeCaller) CloseHandle(wakeCaller);
    delete helper;
    return nullptr;
  }
  helper->thread = static_cast<intptr_t>(thread);
  return helper;
}

void Win32EndHelper(Helper* helper) {
  HandToHelper(helper, nullptr, nullptr);  // a null task ends the loop
  const HANDLE thread = reinterpret_cast<HANDLE>(helper->thread);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  CloseHandle(reinterpret_cast<HANDLE>(helper->wakeHelper));
  CloseHandle(reinterpret_cast<HANDLE>(helper->wakeCaller));
  delete helper;
}

void RaiseSignal(Signal signal) {
  ReleaseSemaphore(reinterpret_cast<HANDLE>(signal), 1, nullptr);
}

void SleepOnSignal(Signal signal) {
  WaitForSingleObject(reinterpret_cast<HANDLE>(signal), INFINITE);
}
