// The one copy loop of the engines: bytes go from one open file to another through one buffer
// of fixed size, whatever the size of the file.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/platform.h"

// A buffer of kStreamBufferBytes from the platform's heap, released when its owner goes.
struct BlockRelease {
  void operator()(char* block) const { FreeBlock(block); }
};
typedef std::unique_ptr<char, BlockRelease> StreamBuffer;
// A new buffer, or null when the memory cannot be had.
StreamBuffer NewStreamBuffer();

// How a copy ended; a failed read or write leaves its error code for FailSystem.
enum class CopyResult { kDone, kStopped, kReadFailed, kWriteFailed };

// Copies the next `count` bytes of `from` to `to`, at their current positions, through
// `buffer` (kStreamBufferBytes), asking before every buffer whether to stop and counting every
// buffer as progress (core/progress.h). Stops at the first failed or short read or write.
CopyResult CopyBytes(FileHandle from, FileHandle to, uint64_t count, char* buffer);
