// Writing one whole file from memory, as both engines do for their outputs.
#pragma once

#include <cstdint>

// Creates (or empties) the file and writes `count` bytes into it with one write. Returns 1
// when all of them were written. Otherwise returns 0, and a file that was created but not
// written in full is deleted again, so that no truncated file stays under the name.
int WriteWholeFile(const char* path, const char* bytes, uint32_t count);

// Writes `count` bytes with one write into a new temporary file beside `path` and only then,
// once the file is complete and closed, puts it in the place of `path` in one step. Returns 1
// when `path` holds the bytes. Otherwise returns 0, the temporary file is deleted again, and a
// file named `path` keeps every byte it had.
int WriteFileSafely(const char* path, const char* bytes, uint32_t count);
