// The memory the engines work in: one block of a whole file below 2 GiB, or one buffer of fixed
// size through which bytes are copied from one open file to another.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// One block of `size` bytes for a whole file, or null when the file is 2 GiB or larger or the
// block cannot be had: the engine then streams.
char* AllocWholeBlock(uint64_t size);
// One stream buffer of kStreamBufferBytes, or null.
char* AllocStreamBuffer();

// Copies the next `count` bytes of `from` to `to`, at their current positions, through
// `buffer` of kStreamBufferBytes, counting each buffer as progress (core/progress.h). Returns 1
// when every byte was read and written; 0 at the first failed or short read or write.
int CopyBytes(FileHandle from, FileHandle to, uint64_t count, char* buffer);
