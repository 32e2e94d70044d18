// How far a work has come, shown in the information line ("37%"), which keeps its text from
// before the work for the end, and on the taskbar button.
#pragma once

#include <cstdint>

// The whole percentage of `done` bytes of `total`, 0 to 100.
unsigned WorkPercent(uint64_t done, uint64_t total);

// A work starts: nothing is shown yet.
void BeginProgressView();
// Shows a percentage; the first one keeps the information line's text.
void ShowWorkProgress(unsigned percent);
// A work stops or ends: the information line gets its text back, the taskbar button loses its
// progress, and no percentage shows any more until the next work begins.
void EndProgressView();
