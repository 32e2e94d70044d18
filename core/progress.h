// How far a split or restore has come, told to whoever shows it, and whether that one wants
// it to stop; core/ knows neither who it is nor how it shows or asks. The engine says how many
// bytes it is going to copy (BeginProgress) and counts every buffer it copies (CountProgress).
// The report function hears of it each time kProgressIntervalMs of the tick count have passed
// since it last heard (or since the start), so that showing it costs nothing next to the copy
// and a work too short to notice reports nothing. The stop check is asked before every buffer,
// piece and name the engines handle, so that a stop takes effect within one buffer's time.
#pragma once

#include <cstdint>

constexpr uint32_t kProgressIntervalMs = 250;

// Hears that `done` bytes of `total` have been copied. Called on the thread of the work.
typedef void (*ProgressReport)(uint64_t done, uint64_t total);
// Answers whether the work should stop now. Called on the thread of the work.
typedef bool (*StopCheck)();

// The functions that hear the reports and answer the stop check from now on; null for none,
// as at the start (no reports, never stop).
void SetProgressReport(ProgressReport report);
void SetStopCheck(StopCheck check);

// Whether the work should stop now.
bool StopRequested();
// A copy of `total` bytes starts.
void BeginProgress(uint64_t total);
// `bytes` more have been copied: reported when the interval has passed since the last report.
void CountProgress(uint64_t bytes);
