// Writing the files that the engines produce, so that a failure never leaves a short file
// under the name: an output is replaced only once its new contents are complete, and the files
// of a failed split are removed again.
#pragma once

#include <cstdint>
#include <string>

#include "core/work_context.h"
#include "platform/file_path.h"
#include "platform/platform.h"

// Whether `size` bytes fit in the free space of the folder that holds the file `path`. A folder
// that cannot tell its free space (no right to list it, some network file systems) counts as
// having room: the writes are checked anyway and never leave a short file behind.
bool FitsBeside(const FilePath& path, uint64_t size);

// Removes a file that a failed work made. One that cannot be removed (held open by another
// program past the wait for a brief hold) is counted in the context's left-behind files, the
// first of them by name. Returns whether it is gone.
bool RemoveMade(WorkContext* work, const FilePath& name);

// A replacement of a file in progress: the new contents go to a temporary file beside it.
struct AtomicReplace {
  FileHandle file = kNoFile;
  FilePath temp;  // its name
};

// Creates the temporary file beside `path` for the new contents, after removing those that
// restores of `path` left when they were killed (RemoveLeftTemps). Returns false, with the
// failure recorded (naming `path`) and nothing left to finish, when it cannot, when `path` is a
// file marked read-only (whoever marked it so wants it kept, and Windows and Wine would not
// agree on whether a rename replaces it), or when it is a folder or a file that another program
// holds open, which no rename would replace: so found before anything is written.
bool BeginAtomicReplace(WorkContext* work, const FilePath& path, AtomicReplace* replace);
// Closes the temporary file and, when it was filled whole (`written`), puts its bytes on the
// disk and then puts it in the place of `path` in one step, unless a stop was asked for
// meanwhile. Returns true when `path` now holds the new contents. Otherwise returns false with
// the failure recorded (naming `path`), the temporary file is removed again, and a file named
// `path` keeps every byte it had.
bool FinishAtomicReplace(WorkContext* work, const FilePath& path, AtomicReplace* replace,
                         bool written);
