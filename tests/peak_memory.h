// The largest resident memory (working set) this process has had so far, in bytes.
#pragma once

#include <cstdint>

uint64_t PeakMemoryBytes();
