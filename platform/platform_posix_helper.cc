// The POSIX helper's thread and the semaphores it sleeps on (platform/helper.h).
#include <pthread.h>
#include <semaphore.h>

#include <cerrno>
#include <new>

#include "platform/helper.h"
#include "platform/helper_state.h"
#include "platform/platform_posix.h"

namespace {

void* RunHelperThread(void* helper) {
  RunHelper(static_cast<Helper*>(helper));
  return nullptr;
}

// The two signals are semaphores of their own, kept with the thread beside the helper's state.
struct PosixHelper {
  Helper helper;
  sem_t wakeHelper;
  sem_t wakeCaller;
  pthread_t thread;
};

}  // namespace

Helper* PosixStartHelper() {
  auto* posix = new (std::nothrow) PosixHelper;
  if (!posix) return nullptr;
  sem_init(&posix->wakeHelper, 0, 0);
  sem_init(&posix->wakeCaller, 0, 0);
  posix->helper.wakeHelper = reinterpret_cast<Signal>(&posix->wakeHelper);
  posix->helper.wakeCaller = reinterpret_cast<Signal>(&posix->wakeCaller);
  if (pthread_create(&posix->thread, nullptr, RunHelperThread, &posix->helper) != 0) {
    sem_destroy(&posix->wakeHelper);
    sem_destroy(&posix->wakeCaller);
    delete posix;
    return nullptr;
  }
  return &posix->helper;
}

void PosixEndHelper(Helper* helper) {
  auto* posix = reinterpret_cast<PosixHelper*>(helper);  // the helper is its first member
  HandToHelper(helper, nullptr, nullptr);                // a null task ends the loop
  pthread_join(posix->thread, nullptr);
  sem_destroy(&posix->wakeHelper);
  sem_destroy(&posix->wakeCaller);
  delete posix;
}

void RaiseSignal(Signal signal) {
  sem_post(reinterpret_cast<sem_t*>(signal));
}

void SleepOnSignal(Signal signal) {
  // A signal that interrupts the wait is no wake-up.
  while (sem_wait(reinterpret_cast<sem_t*>(signal)) != 0 && errno == EINTR) {
  }
}
