// Cutting one file into numbered pieces.
#pragma once

#include <cstdint>

// Reads the whole source and writes it out as pieces "<base>-NN" (NN at least two digits) of
// `pieceSize` bytes each, the last one shorter, in the current directory. The base number is
// drawn from the generator, reseeded from the tick count first. A negative `pieceSize` is taken
// as its unsigned value. An empty source gives one empty piece.
//
// Returns 1 when every piece was written in full, else 0. Nothing is created when the source
// cannot be opened or read whole, is 2 GiB or larger, is larger than the free space of the
// current directory's volume, or when `pieceSize` is 0. When a piece cannot be created or
// written, the complete pieces before it stay and the one that failed is deleted again. The
// source is never changed.
int SplitFile(const char* sourcePath, int32_t pieceSize);
