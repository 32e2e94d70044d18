// Writing one whole file from memory, as both engines do for their outputs.
#pragma once

#include <cstdint>

// Creates (or empties) the file and writes `count` bytes into it with one write. Returns 1
// when all of them were written. Otherwise returns 0, and a file that was created but not
// written in full is deleted again, so that no truncated file stays under the name.
int WriteWholeFile(const char* path, const char* bytes, uint32_t count);
