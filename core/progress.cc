#include "core/progress.h"

#include "platform/platform.h"

bool StopRequested(WorkContext* work) {
  return work->stopCheck && work->stopCheck(work->caller);
}

void BeginProgress(WorkContext* work, uint64_t total) {
  work->done = 0;
  work->total = total;
  work->lastReport = TickCount();
}

void CountProgress(WorkContext* work, uint64_t bytes) {
  work->done += bytes;
  if (!work->report) return;
  const uint32_t now = TickCount();
  // Unsigned, so that the tick count coming round to zero after 49.7 days changes nothing.
  if (now - work->lastReport < kProgressIntervalMs) return;
  work->lastReport = now;
  work->report(work->caller, work->done, work->total);
}
