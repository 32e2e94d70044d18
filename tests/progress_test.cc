// The reports of a streamed copy: one at once, then at most one per interval of the tick count,
// also across the tick count's wrap to zero.
#include "core/progress.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/fault_ops.h"

namespace {

std::vector<uint64_t> g_reported;

void Record(uint64_t done, uint64_t total) {
  EXPECT_EQ(total, 100u);
  g_reported.push_back(done);
}

TEST(ProgressTest, ReportsAtOnceThenOncePerInterval) {
  struct Step {
    uint32_t tick;
    uint64_t bytes;
    bool reported;
  };
  const uint32_t start = 0xFFFFFF80u;  // 128 ms before the tick count wraps to zero
  const Step steps[] = {
      {start, 10, false},
      {start + kProgressIntervalMs - 1, 10, false},  // past the wrap, not yet due
      {start + kProgressIntervalMs, 10, true},
      {start + kProgressIntervalMs + 5, 10, false},
      {start + 2 * kProgressIntervalMs, 10, true},
      {start + 2 * kProgressIntervalMs, 50, false},
  };
  ScopedFaultOps faults;
  FixTickCount(start);
  g_reported.clear();
  SetProgressReport(Record);
  BeginProgress(100);
  std::vector<uint64_t> expected = {0};
  uint64_t done = 0;
  for (const Step& step : steps) {
    FixTickCount(step.tick);
    CountProgress(step.bytes);
    done += step.bytes;
    if (step.reported) expected.push_back(done);
  }
  SetProgressReport(nullptr);
  CountProgress(0);
  EXPECT_EQ(g_reported, expected);
}

}  // namespace
