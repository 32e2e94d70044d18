#include "core/stream_copy.h"

#include "core/limits.h"
#include "core/progress.h"

char* AllocWholeBlock(uint64_t size) {
  if (size > kMaxBlockBytes) return nullptr;
  return static_cast<char*>(AllocBlock(static_cast<uint32_t>(size)));
}

char* AllocStreamBuffer() {
  return static_cast<char*>(AllocBlock(kStreamBufferBytes));
}

int CopyBytes(FileHandle from, FileHandle to, uint64_t count, char* buffer) {
  while (count > 0) {
    const uint32_t chunk =
        count < kStreamBufferBytes ? static_cast<uint32_t>(count) : kStreamBufferBytes;
    if (!ReadBlock(from, buffer, chunk) || !WriteBlock(to, buffer, chunk)) return 0;
    count -= chunk;
    CountProgress(chunk);
  }
  return 1;
}
