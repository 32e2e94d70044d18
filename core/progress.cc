#include "core/progress.h"

#include "platform/platform.h"

namespace {

void ReportNothing(uint64_t, uint64_t) {}
bool NeverStop() {
  return false;
}

ProgressReport g_report = ReportNothing;
StopCheck g_stopCheck = NeverStop;
uint64_t g_done = 0;
uint64_t g_total = 0;
uint32_t g_lastReport = 0;

}  // namespace

void SetProgressReport(ProgressReport report) {
  g_report = report ? report : ReportNothing;
}

void SetStopCheck(StopCheck check) {
  g_stopCheck = check ? check : NeverStop;
}

bool StopRequested() {
  return g_stopCheck();
}

void BeginProgress(uint64_t total) {
  g_done = 0;
  g_total = total;
  g_lastReport = TickCount();
}

void CountProgress(uint64_t bytes) {
  g_done += bytes;
  const uint32_t now = TickCount();
  // Unsigned, so that the tick count coming round to zero after 49.7 days changes nothing.
  if (now - g_lastReport < kProgressIntervalMs) return;
  g_lastReport = now;
  g_report(g_done, g_total);
}
