#include "platform/helper.h"

#include "platform/helper_state.h"

namespace {

// How many times a side looks for the other before it sleeps, with a pause for the processor
// between two looks: on the order of a millisecond, about as long as hashing one buffer takes,
// so that two sides in step never sleep, and a side left waiting for a slow disk sleeps soon.
constexpr int kWatchRounds = 20000;

void Pause() {
#if defined(__i386__) || defined(__x86_64__)
  __builtin_ia32_pause();
#endif
}

// Whether `done()` came true while watching. Sequentially consistent loads, so that the sleep
// protocol below cannot miss a wake-up.
template <typename Done>
bool Watch(Done done) {
  for (int round = 0; round < kWatchRounds; ++round) {
    if (done()) return true;
    Pause();
  }
  return false;
}

// Sleeps until `done()`, having said so in `sleeps`. The other side first makes `done()` true
// and then looks at `sleeps`; this side first sets `sleeps` and then looks at `done()`. So
// either this side sees `done()` before sleeping, or the other sees `sleeps` and raises the
// signal. A raise left over from an earlier round only makes one more round of the loop.
template <typename Done>
void SleepUntil(std::atomic<bool>* sleeps, Signal signal, Done done) {
  if (Watch(done)) return;
  sleeps->store(true);
  while (!done()) SleepOnSignal(signal);
  sleeps->store(false);
}

}  // namespace

void HandToHelper(Helper* helper, void (*task)(void* data), void* data) {
  helper->task = task;
  helper->data = data;
  helper->posted.store(++helper->handed);
  if (helper->helperSleeps.load()) RaiseSignal(helper->wakeHelper);
}

void WaitForHelper(Helper* helper) {
  SleepUntil(&helper->callerSleeps, helper->wakeCaller,
             [helper] { return helper->finished.load() == helper->handed; });
}

void RunHelper(Helper* helper) {
  for (uint32_t seen = 0;;) {
    SleepUntil(&helper->helperSleeps, helper->wakeHelper,
               [helper, seen] { return helper->posted.load() != seen; });
    ++seen;
    if (!helper->task) return;
    helper->task(helper->data);
    helper->finished.store(seen);
    if (helper->callerSleeps.load()) RaiseSignal(helper->wakeCaller);
  }
}
