// Copying bytes from one open file to another through a buffer of fixed size, as the engines
// do for files too large to hold whole.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Copies the next `count` bytes of `from` to `to`, at their current positions, through
// `buffer` of kStreamBufferBytes. Returns 1 when every byte was read and written; 0 at the
// first failed or short read or write.
int CopyBytes(FileHandle from, FileHandle to, uint64_t count, char* buffer);
