// The state that the helper's two threads share (platform/helper.h), and the one thing each
// platform supplies for it besides the thread: a signal to sleep on until woken.
#pragma once

#include <atomic>
#include <cstdint>

// A wake-up that one thread sleeps on and another raises; each raise ends one sleep, now or
// later (a semaphore). Made and released by the platform's startHelper and endHelper.
typedef intptr_t Signal;
void RaiseSignal(Signal signal);
void SleepOnSignal(Signal signal);

struct Helper {
  // The task handed over last; a null task ends the helper's loop.
  void (*task)(void* data) = nullptr;
  void* data = nullptr;
  uint32_t handed = 0;                // tasks handed over, counted by the caller alone
  std::atomic<uint32_t> posted{0};    // tasks handed over, for the helper to see
  std::atomic<uint32_t> finished{0};  // tasks run
  // Whether a side sleeps, or is about to: the other then raises its signal.
  std::atomic<bool> helperSleeps{false};
  std::atomic<bool> callerSleeps{false};
  Signal wakeHelper = 0;
  Signal wakeCaller = 0;
  intptr_t thread = 0;
};
