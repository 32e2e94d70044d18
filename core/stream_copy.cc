#include "core/stream_copy.h"

#include "core/limits.h"
#include "core/progress.h"

StreamBuffer NewStreamBuffer() {
  return StreamBuffer(static_cast<char*>(AllocBlock(kStreamBufferBytes)));
}

CopyResult CopyBytes(FileHandle from, FileHandle to, uint64_t count, char* buffer) {
  while (count > 0) {
    if (StopRequested()) return CopyResult::kStopped;
    const uint32_t chunk =
        count < kStreamBufferBytes ? static_cast<uint32_t>(count) : kStreamBufferBytes;
    if (!ReadBlock(from, buffer, chunk)) return CopyResult::kReadFailed;
    if (!WriteBlock(to, buffer, chunk)) return CopyResult::kWriteFailed;
    count -= chunk;
    CountProgress(chunk);
  }
  return CopyResult::kDone;
}
