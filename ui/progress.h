// The progress of a streamed split or restore, shown in the information line as a percentage.
#pragma once

#include <cstdint>

// Shows `done` of `total` bytes as a whole percentage, rounded down ("37%"), and lets the
// window repaint. The first report of a work keeps the line's text for EndProgress.
void ShowProgress(uint64_t done, uint64_t total);
// Puts back the text that the first report replaced, if there was one.
void EndProgress();
