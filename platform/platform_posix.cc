// POSIX implementation of the platform operations, for the host build's tests, sanitizers,
// fuzzers and benchmarks. It keeps the observable contract of the Win32 one; sharing modes have
// no POSIX counterpart and are not enforced.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace {

int AsFd(FileHandle file) {
  return static_cast<int>(file);
}

FileHandle PosixOpenForRead(const char* path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return kNoFile;
  // Win32 refuses to open a folder as a file; so does this.
  struct stat info;
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    return kNoFile;
  }
  return fd;
}

FileHandle PosixCreateForWrite(const char* path) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd < 0 ? kNoFile : fd;
}

int PosixNameExists(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 ? 1 : 0;
}

int PosixFileSize(FileHandle file, uint32_t* low, uint32_t* high) {
  struct stat info;
  if (fstat(AsFd(file), &info) != 0 || info.st_size < 0) return 0;
  uint64_t size = static_cast<uint64_t>(info.st_size);
  *low = static_cast<uint32_t>(size);
  *high = static_cast<uint32_t>(size >> 32);
  return 1;
}

// read() and write() may move fewer bytes than asked even on regular files (signals, the
// kernel's 2 GiB per-call cap), so they loop; end of file before the count is a failure.
int PosixReadBlock(FileHandle file, void* buffer, uint32_t count) {
  char* at = static_cast<char*>(buffer);
  uint32_t left = count;
  while (left > 0) {
    ssize_t n = read(AsFd(file), at, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return 0;
    at += n;
    left -= static_cast<uint32_t>(n);
  }
  return 1;
}

// Written in slices: one huge write() into tmpfs or the page cache runs several times slower
// than the same bytes in slices of a few MiB (measured with the benchmark).
constexpr uint32_t kWriteChunk = 4u * 1024u * 1024u;

int PosixWriteBlock(FileHandle file, const void* buffer, uint32_t count) {
  const char* at = static_cast<const char*>(buffer);
  uint32_t left = count;
  while (left > 0) {
    ssize_t n = write(AsFd(file), at, left < kWriteChunk ? left : kWriteChunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return 0;
    at += n;
    left -= static_cast<uint32_t>(n);
  }
  return 1;
}

void PosixCloseFile(FileHandle file) {
  close(AsFd(file));
}

uint32_t PosixTickCount() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t ms =
      static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

// Whole files are held in one block, so the cost of a big block is mostly the kernel's: a
// quarter of a million page faults for 1 GiB. Big blocks are therefore aligned for huge pages,
// advised to use them, and populated in one call before the caller fills them. All of it is
// advice; a kernel that ignores it still gives a working block.
constexpr size_t kHugePage = 2u * 1024u * 1024u;
constexpr size_t kBigBlock = 2 * kHugePage;
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

void PrepareBigRange(void* block, size_t from, size_t size) {
  const uintptr_t base = reinterpret_cast<uintptr_t>(block);
  const uintptr_t start = (base + from + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (base + size) & ~(kHugePage - 1);
  if (end <= start) return;
  madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
  madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
}

// malloc(0) may return null; a zero-byte block is still a block here.
void* PosixAllocBlock(uint32_t size) {
  if (size < kBigBlock) return std::malloc(size ? size : 1);
  const size_t rounded = (size + kHugePage - 1) & ~(kHugePage - 1);
  void* block = std::aligned_alloc(kHugePage, rounded);
  if (block) PrepareBigRange(block, 0, size);
  return block;
}

void* PosixGrowBlock(void* block, uint32_t size) {
  void* grown = std::realloc(block, size ? size : 1);
  // Only the new tail needs preparing; realloc keeps (or moves) what was there.
  if (grown && size >= kBigBlock) PrepareBigRange(grown, size / 2, size);
  return grown;
}

void PosixFreeBlock(void* block) {
  std::free(block);
}

void PosixUpperCase(char* text) {
  for (char* c = text; *c; ++c) {
    if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
  }
}

int PosixFormatV(char* out, size_t size, const char* format, va_list args) {
  int length = std::vsnprintf(out, size, format, args);
  if (length < 0 || static_cast<size_t>(length) >= size) {
    if (size > 0) out[0] = '\0';
    return -1;
  }
  return length;
}

}  // namespace

const PlatformOps& RealPlatformOps() {
  static const PlatformOps ops = {
      PosixOpenForRead, PosixCreateForWrite, PosixNameExists, PosixFileSize,   PosixReadBlock,
      PosixWriteBlock,  PosixCloseFile,      PosixTickCount,  PosixAllocBlock, PosixGrowBlock,
      PosixFreeBlock,   PosixUpperCase,      PosixFormatV,
  };
  return ops;
}
