// The POSIX calls on files: opening and creating them, their reads and writes, their size and
// last write, and putting them on the disk (platform/platform_posix.h).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform_posix.h"

namespace {

int AsFd(FileHandle file) {
  return static_cast<int>(file);
}

// read() and write() may move fewer bytes than asked even on regular files (signals, the
// kernel's 2 GiB per-call cap), so both loop until the count is reached. A call that moves
// nothing first makes the whole transfer a failure, with `nothingMoved` as its error: the end
// of the file for a read, a full disk for a write.
template <typename Transfer>
bool TransferWhole(uint32_t count, int nothingMoved, Transfer transfer) {
  uint32_t done = 0;
  while (done < count) {
    const ssize_t n = transfer(done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = nothingMoved;
    if (n <= 0) return false;
    done += static_cast<uint32_t>(n);
  }
  return true;
}

}  // namespace

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

// The lock stands in for Windows' sharing mode "none" where the program itself asks: a file
// it has open for writing is not removed as a leftover (PosixRemoveUnheld).
FileHandle PosixCreateNew(const char* path) {
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return kNoFile;
  flock(fd, LOCK_EX | LOCK_NB);  // a file system without locks holds the file all the same
  return fd;
}

bool PosixQueryFileSize(FileHandle file, uint64_t* size) {
  struct stat info;
  if (fstat(AsFd(file), &info) != 0 || info.st_size < 0) return false;
  *size = static_cast<uint64_t>(info.st_size);
  return true;
}

bool PosixQueryFileState(FileHandle file, FileState* state) {
  struct stat info;
  if (fstat(AsFd(file), &info) != 0 || info.st_size < 0) return false;
  state->size = static_cast<uint64_t>(info.st_size);
  state->writeTime = static_cast<uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                     static_cast<uint64_t>(info.st_mtim.tv_nsec);
  return true;
}

bool PosixRewindFile(FileHandle file) {
  return lseek(AsFd(file), 0, SEEK_SET) == 0;
}

bool PosixReadBlock(FileHandle file, void* buffer, uint32_t count) {
  char* bytes = static_cast<char*>(buffer);
  return TransferWhole(count, ENODATA, [&](uint32_t at, uint32_t left) {
    return read(AsFd(file), bytes + at, left);
  });
}

bool PosixWriteBlock(FileHandle file, const void* buffer, uint32_t count) {
  const char* bytes = static_cast<const char*>(buffer);
  return TransferWhole(count, ENOSPC, [&](uint32_t at, uint32_t left) {
    return write(AsFd(file), bytes + at, left);
  });
}

bool PosixReadBlockAt(FileHandle file, uint64_t offset, void* buffer, uint32_t count) {
  char* bytes = static_cast<char*>(buffer);
  return TransferWhole(count, ENODATA, [&](uint32_t at, uint32_t left) {
    return pread(AsFd(file), bytes + at, left, static_cast<off_t>(offset + at));
  });
}

bool PosixWriteBlockAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t count) {
  const char* bytes = static_cast<const char*>(buffer);
  return TransferWhole(count, ENOSPC, [&](uint32_t at, uint32_t left) {
    return pwrite(AsFd(file), bytes + at, left, static_cast<off_t>(offset + at));
  });
}

void PosixCloseFile(FileHandle file) {
  close(AsFd(file));
}

// A file system without a flush (EINVAL) has taken the bytes all the same.
bool PosixFlushFile(FileHandle file) {
  return fsync(AsFd(file)) == 0 || errno == EINVAL;
}
