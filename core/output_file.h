// Writing the files that the engines produce, so that a failure never leaves a short file
// under the name: a piece that cannot be written whole is deleted again, and an output is
// replaced only once its new contents are complete.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// Whether `size` bytes fit in the free space of the folder that holds the file `path`. A folder
// that cannot tell its free space (no right to list it, some network file systems) counts as
// having room: the writes are checked anyway and never leave a short file behind.
bool FitsBeside(const std::string& path, uint64_t size);

// Closes a piece that was created for writing and filled whole (`complete`) or not. A piece
// that is not complete is deleted again. Returns `complete`.
bool FinishPiece(const std::string& name, FileHandle piece, bool complete);

// A replacement of a file in progress: the new contents go to a temporary file beside it.
struct AtomicReplace {
  FileHandle file = kNoFile;
  std::string temp;  // its name
};

// Creates the temporary file beside `path` for the new contents. Returns false, with the
// failure recorded (core/failure.h) and nothing left to finish, when it cannot.
bool BeginAtomicReplace(const std::string& path, AtomicReplace* replace);
// Closes the temporary file and, when it was filled whole (`written`), puts its bytes on the
// disk and then puts it in the place of `path` in one step, unless a stop was asked for
// meanwhile. Returns true when `path` now holds the new contents. Otherwise returns false with
// the failure recorded, the temporary file is deleted again, and a file named `path` keeps
// every byte it had.
bool FinishAtomicReplace(const std::string& path, AtomicReplace* replace, bool written);
