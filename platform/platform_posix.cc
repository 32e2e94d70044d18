// POSIX implementation of the platform operations, for the host build's tests, sanitizers,
// fuzzers and benchmarks: the table, and the calls of the clock, the error codes and the memory.
// It keeps the observable contract of the Win32 one; sharing modes have no POSIX counterpart and
// are not enforced.
#include "platform/platform_posix.h"

#include <time.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

uint32_t PosixTickCount() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t ms =
      static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

uint32_t PosixLastError() {
  return static_cast<uint32_t>(errno);
}

std::string PosixErrorText(uint32_t code) {
  return std::strerror(static_cast<int>(code));
}

void* PosixAllocBlock(uint32_t size) {
  return std::malloc(size ? size : 1);
}

void PosixFreeBlock(void* block) {
  std::free(block);
}

void PosixSleep(uint32_t ms) {
  struct timespec wait = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

}  // namespace

const PlatformOps& RealPlatformOps() {
  static const PlatformOps ops = {
      .openForRead = PosixOpenForRead,
      .createNew = PosixCreateNew,
      .lookUpName = PosixLookUpName,
      .isReadOnly = PosixIsReadOnly,
      .queryFileSize = PosixQueryFileSize,
      .queryFileState = PosixQueryFileState,
      .rewindFile = PosixRewindFile,
      .readBlock = PosixReadBlock,
      .writeBlock = PosixWriteBlock,
      .readBlockAt = PosixReadBlockAt,
      .writeBlockAt = PosixWriteBlockAt,
      .closeFile = PosixCloseFile,
      .moveOver = PosixMoveOver,
      .removeFile = PosixRemoveFile,
      .removeUnheld = PosixRemoveUnheld,
      .canReplace = PosixCanReplace,
      .mayBeHeld = PosixMayBeHeld,
      .nameTaken = PosixNameTaken,
      .freeSpace = PosixFreeSpace,
      .listFolder = PosixListFolder,
      .flushFile = PosixFlushFile,
      .startHelper = PosixStartHelper,
      .endHelper = PosixEndHelper,
      .tickCount = PosixTickCount,
      .sleep = PosixSleep,
      .lastError = PosixLastError,
      .errorText = PosixErrorText,
      .allocBlock = PosixAllocBlock,
      .freeBlock = PosixFreeBlock,
  };
  return ops;
}
