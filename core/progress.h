// How far a split or restore has come, told to whoever shows it, and whether that one wants it
// to stop, through the work's context (core/work_context.h). The engine says how many bytes it
// is going to copy (BeginProgress) and counts every buffer it copies (CountProgress). The
// report function hears of it each time kProgressIntervalMs of the tick count have passed
// since it last heard (or since the start), so that showing it costs nothing next to the copy
// and a work too short to notice reports nothing. The stop check is asked before every buffer,
// piece and name the engines handle, so that a stop takes effect within one buffer's time.
#pragma once

#include <cstdint>

#include "core/work_context.h"

constexpr uint32_t kProgressIntervalMs = 250;

// Whether the work should stop now.
bool StopRequested(WorkContext* work);
// A copy of `total` bytes starts.
void BeginProgress(WorkContext* work, uint64_t total);
// `bytes` more have been copied: reported when the interval has passed since the last report.
void CountProgress(WorkContext* work, uint64_t bytes);
