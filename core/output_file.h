// Writing the files that the engines produce, so that a failure never leaves a short file
// under the name: a piece that cannot be written whole is deleted again, and an output is
// replaced only once its new contents are complete.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Whether `size` bytes fit in the free space of the folder that holds the file `path`. A folder
// that cannot tell its free space (no right to list it, some network file systems) counts as
// having room: the writes are checked anyway and never leave a short file behind.
bool FitsBeside(const char* path, uint64_t size);

// Closes a piece that was created for writing and filled (`written` 1) or not (0). A piece that
// was not written in full is deleted again. Returns `written`.
int FinishPiece(const char* name, FileHandle piece, int written);

// A replacement of a file in progress: the new contents go to a temporary file beside it.
struct AtomicReplace {
  FileHandle file;
  char* temp;  // its name, the path and three bytes, on the heap: paths can be long
};

// Creates the temporary file beside `path` for the new contents. Returns 0 when it cannot,
// with nothing left to finish.
int BeginAtomicReplace(const char* path, AtomicReplace* replace);
// Closes the temporary file and, when it was filled whole (`written` 1), puts its bytes on the
// disk and then puts it in the place of `path` in one step. Returns 1 when `path` now holds
// the new contents. Otherwise returns 0, the temporary file is deleted again, and a file named
// `path` keeps every byte it had.
int FinishAtomicReplace(const char* path, AtomicReplace* replace, int written);

// Replaces the contents of `path` by `count` bytes, written with one write, atomically as
// above.
int ReplaceAtomically(const char* path, const char* bytes, uint32_t count);
