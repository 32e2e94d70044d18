// The POSIX calls on names and folders: looking a name up, what holds or takes it, renaming and
// removing files, a folder's free space and its listing (platform/platform_posix.h).
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file_path.h"
#include "platform/platform_posix.h"

namespace {

// Whether the error of a failed look-up says that the name does not exist, as opposed to
// not being able to tell.
bool NoSuchName(int error) {
  return error == ENOENT || error == ENOTDIR;
}

}  // namespace

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

// POSIX has no sharing modes: nothing holds a file against a rename or a deletion.
bool PosixMayBeHeld(uint32_t, const char*) {
  return false;
}

bool PosixNameTaken(uint32_t error, const char*) {
  return error == EEXIST;
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
