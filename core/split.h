// Cutting one file into numbered pieces.
#pragma once

#include <cstdint>

#include "core/work_context.h"

// Writes the source out as pieces "<base>-NN" (NN at least two digits) of `pieceSize` bytes
// each, the last one shorter, in the current directory, and beside them their checksum list
// "<base>.sha256" (core/checksum_list.h). An empty source gives one empty piece. Sources of any
// size are streamed through small buffers, each piece hashed as it is written.
//
// The base number is drawn from the generator, reseeded from the tick count first. A file is
// never replaced: the pieces and the list are created only where no file of their name exists.
// One listing of the current folder finds the bases with a name of their set taken (the pieces,
// the one after them, the list, or the file a restore would write), and the generator draws
// again for them; a name that another program takes after the listing makes the split remove
// what it made of that set and draw again too, up to 1,000 draws in all.
//
// The source's size and last-write time are taken from the open file at the start and again
// after its last byte: a source that changed meanwhile, or ended early, fails the split, which
// names it.
//
// Returns 1 when every piece and the list were written in full. Else returns 0, with the reason
// in the context's failure, and removes every file this split created: nothing is left that a
// restore could take for a whole set. A piece that cannot be removed (another program holds it)
// is counted in the context's left-behind files, and keeps the list, unfinished, beside it. So
// it is too when a stop is asked for through the context. Nothing is created when the source
// cannot be opened, is known to be larger than the free space of the current directory (checked
// first, before the names), would need more than 2^31 pieces, when the folder cannot be listed
// or no base of free names is found, or when `pieceSize` is 0. The source is never changed.
int SplitFile(const char* sourcePath, uint32_t pieceSize, WorkContext* work);
// The same with a context of its own: no reports, no stop, and the reason is not kept.
int SplitFile(const char* sourcePath, uint32_t pieceSize);
