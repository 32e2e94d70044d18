// Writing one whole file from memory, as both engines do for their outputs.
#pragma once

#include <cstdint>

// Creates (or empties) the file and writes `count` bytes into it with one write. Returns 1
// when all of them were written, else 0; the file is closed either way.
int WriteWholeFile(const char* path, const char* bytes, uint32_t count);
