// Cutting one file into numbered pieces.
#pragma once

#include <cstdint>

// Writes the source out as pieces "<base>-NN" (NN at least two digits) of `pieceSize` bytes
// each, the last one shorter, in the current directory. The base number is drawn from the
// generator, reseeded from the tick count first. A negative `pieceSize` is taken as its
// unsigned value. An empty source gives one empty piece. Sources of any size are streamed
// through one small buffer.
//
// Returns 1 when every piece was written in full, else 0, with the reason in LastFailure()
// (core/failure.h). Nothing is created when the source cannot be opened, is known to be larger
// than the free space of the current directory, would need more than 2^31 pieces, or when
// `pieceSize` is 0. When a piece cannot be created or written, or the source cannot be read
// whole, the complete pieces before it stay and the one that failed is deleted again. When a
// stop is asked for (core/progress.h), every piece of this split is deleted again. The source
// is never changed, whichever way it is split: a piece name that is the source itself (by its
// own name, another spelling of its path, or a link to it) ends the split before that piece is
// created.
int SplitFile(const char* sourcePath, int32_t pieceSize);
