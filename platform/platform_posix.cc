// POSIX implementation of the platform operations, for the host build's tests, sanitizers,
// fuzzers and benchmarks. It keeps the observable contract of the Win32 one; sharing modes have
// no POSIX counterpart and are not enforced.
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <semaphore.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "platform/file_path.h"
#include "platform/helper.h"
#include "platform/helper_state.h"
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

// The lock stands in for Windows' sharing mode "none" where the program itself asks: a file
// it has open for writing is not removed as a leftover (PosixRemoveUnheld).
FileHandle PosixCreateNew(const char* path) {
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return kNoFile;
  flock(fd, LOCK_EX | LOCK_NB);  // a file system without locks holds the file all the same
  return fd;
}

// Whether the error of a failed look-up says that the name does not exist, as opposed to
// not being able to tell.
bool NoSuchName(int error) {
  return error == ENOENT || error == ENOTDIR;
}

// Folders report 0 bytes, as they do on Windows.
NameLookup PosixLookUpName(const char* path, uint64_t* size) {
  struct stat info;
  if (stat(path, &info) != 0) {
    return NoSuchName(errno) ? NameLookup::kMissing : NameLookup::kUnknown;
  }
  *size = S_ISDIR(info.st_mode) || info.st_size < 0 ? 0 : static_cast<uint64_t>(info.st_size);
  return NameLookup::kFound;
}

bool PosixIsReadOnly(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && !S_ISDIR(info.st_mode) && (info.st_mode & 0222) == 0;
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

// POSIX has no sharing modes: nothing holds a file against a rename or a deletion.
bool PosixMayBeHeld(uint32_t, const char*) {
  return false;
}

bool PosixNameTaken(uint32_t error, const char*) {
  return error == EEXIST;
}

void PosixSleep(uint32_t ms) {
  struct timespec wait = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

// The rename is made durable by flushing the folder that holds the names, as the new name is
// an entry of that folder. Hard links and renames cannot cross folders here, so `to`'s folder
// is the one.
bool PosixMoveOver(const char* from, const char* to) {
  if (rename(from, to) != 0) return false;
  const int fd = open(FilePath(to).DirName().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    // Some file systems refuse to flush a folder (EINVAL); the rename has happened all the same.
    fsync(fd);
    close(fd);
  }
  return true;
}

bool PosixRemoveFile(const char* path) {
  return unlink(path) == 0 || NoSuchName(errno);
}

// The lock is taken before the name goes, so a file that a program of ours opens meanwhile is
// not removed under it; it is let go once the name has gone.
bool PosixRemoveUnheld(const char* path) {
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return NoSuchName(errno);
  const bool unlocked = flock(fd, LOCK_EX | LOCK_NB) == 0;
  const int error = errno;
  const bool removed = unlocked && PosixRemoveFile(path);
  close(fd);
  if (!unlocked) errno = error;
  return removed;
}

bool PosixCanReplace(const char* path) {
  struct stat info;
  if (stat(path, &info) != 0) return NoSuchName(errno);
  if (!S_ISDIR(info.st_mode)) return true;
  errno = EISDIR;
  return false;
}

// The blocks left to unprivileged writers, as Win32 counts the bytes left to the caller.
bool PosixFreeSpace(const char* folder, uint64_t* bytes) {
  struct statvfs info;
  if (statvfs(folder, &info) != 0) return false;
  // No volume has the 2^64 bytes that would make this product wrap.
  *bytes = static_cast<uint64_t>(info.f_bavail) * static_cast<uint64_t>(info.f_frsize);
  return true;
}

// A file system without a flush (EINVAL) has taken the bytes all the same.
bool PosixFlushFile(FileHandle file) {
  return fsync(AsFd(file)) == 0 || errno == EINVAL;
}

bool PosixListFolder(const char* path, bool (*visit)(void* data, const char* name), void* data) {
  DIR* folder = opendir(path);
  if (!folder) return false;
  int error = 0;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(folder);
    if (!entry) {
      error = errno;  // 0 at the end of the folder
      break;
    }
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    if (!visit(data, name)) break;
  }
  closedir(folder);
  errno = error;
  return error == 0;
}

void* RunHelperThread(void* helper) {
  RunHelper(static_cast<Helper*>(helper));
  return nullptr;
}

// The two signals are semaphores of their own, kept with the thread beside the helper's state.
struct PosixHelper {
  Helper helper;
  sem_t wakeHelper;
  sem_t wakeCaller;
  pthread_t thread;
};

Helper* PosixStartHelper() {
  auto* posix = new (std::nothrow) PosixHelper;
  if (!posix) return nullptr;
  sem_init(&posix->wakeHelper, 0, 0);
  sem_init(&posix->wakeCaller, 0, 0);
  posix->helper.wakeHelper = reinterpret_cast<Signal>(&posix->wakeHelper);
  posix->helper.wakeCaller = reinterpret_cast<Signal>(&posix->wakeCaller);
  if (pthread_create(&posix->thread, nullptr, RunHelperThread, &posix->helper) != 0) {
    sem_destroy(&posix->wakeHelper);
    sem_destroy(&posix->wakeCaller);
    delete posix;
    return nullptr;
  }
  return &posix->helper;
}

void PosixEndHelper(Helper* helper) {
  auto* posix = reinterpret_cast<PosixHelper*>(helper);  // the helper is its first member
  HandToHelper(helper, nullptr, nullptr);                // a null task ends the loop
  pthread_join(posix->thread, nullptr);
  sem_destroy(&posix->wakeHelper);
  sem_destroy(&posix->wakeCaller);
  delete posix;
}

}  // namespace

void RaiseSignal(Signal signal) {
  sem_post(reinterpret_cast<sem_t*>(signal));
}

void SleepOnSignal(Signal signal) {
  // A signal that interrupts the wait is no wake-up.
  while (sem_wait(reinterpret_cast<sem_t*>(signal)) != 0 && errno == EINTR) {
  }
}

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
