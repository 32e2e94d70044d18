// How far a long, streamed split or restore has come, told to whoever shows it without core/
// knowing how. The engine says how many bytes it is going to copy (BeginProgress), and every
// copied buffer is counted (CountProgress, from CopyBytes). The report function hears of it
// at once when the copy starts and then only when kProgressIntervalMs of the tick count have
// passed since it last heard, so that showing it costs nothing next to the copy: in between,
// a count costs one reading of the tick count per buffer.
#pragma once

#include <cstdint>

constexpr uint32_t kProgressIntervalMs = 250;

// Hears that `done` bytes of `total` have been copied.
typedef void (*ProgressReport)(uint64_t done, uint64_t total);

// The function that hears the reports from now on; null for none, as at the start.
void SetProgressReport(ProgressReport report);
// A copy of `total` bytes starts: reports 0 of `total` at once.
void BeginProgress(uint64_t total);
// `bytes` more have been copied: reported when the interval has passed since the last report.
void CountProgress(uint64_t bytes);
