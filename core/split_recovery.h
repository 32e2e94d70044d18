// The recovery files of a split: made beside the pieces in one pass over the source, or over
// the pieces of a set already cut.
#pragma once

#include <cstdint>

#include "core/split_set.h"

// A set with recovery pieces of at most this many pieces is cut in one pass over the source,
// every piece open at once and written a stripe at a time while the recovery slices are made;
// a larger one is cut first and read once more for its recovery slices.
constexpr uint64_t kPiecesOpenAtOnce = 256;

// The pieces with their recovery slices in one pass (a set of up to kPiecesOpenAtOnce pieces),
// or the recovery files of a set already cut, read once more.
Outcome WriteProtectedSet(Split* split);
Outcome WriteRecovery(Split* split);
