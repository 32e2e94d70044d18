// Win32 implementation of the platform operations, through the ANSI entry points.
#include <windows.h>

#include <cstring>

#include "platform/platform.h"
#include "platform/temp_name.h"

namespace {

HANDLE AsHandle(FileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}

FileHandle Win32OpenForRead(const char* path) {
  HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

FileHandle Win32CreateForWrite(const char* path) {
  HANDLE h =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

// One query answers both whether the name exists and how big it is, without opening it.
int Win32NameSize(const char* path, uint32_t* low, uint32_t* high) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return 0;
  const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  *low = folder ? 0 : data.nFileSizeLow;
  *high = folder ? 0 : data.nFileSizeHigh;
  return 1;
}

int Win32FileSize(FileHandle file, uint32_t* low, uint32_t* high) {
  DWORD highPart = 0;
  SetLastError(NO_ERROR);
  DWORD lowPart = GetFileSize(AsHandle(file), &highPart);
  // INVALID_FILE_SIZE is also a valid low half; only the error code tells them apart.
  if (lowPart == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
  *low = lowPart;
  *high = highPart;
  return 1;
}

// One ReadFile for the whole block, as the engines promise; fewer bytes than asked is a failure.
int Win32ReadBlock(FileHandle file, void* buffer, uint32_t count) {
  DWORD done = 0;
  if (!ReadFile(AsHandle(file), buffer, count, &done, nullptr)) return 0;
  return done == count ? 1 : 0;
}

int Win32WriteBlock(FileHandle file, const void* buffer, uint32_t count) {
  DWORD done = 0;
  if (!WriteFile(AsHandle(file), buffer, count, &done, nullptr)) return 0;
  return done == count ? 1 : 0;
}

void Win32CloseFile(FileHandle file) {
  CloseHandle(AsHandle(file));
}

uint32_t Win32TickCount() {
  return GetTickCount();
}

// Big blocks are filled by ReadFile, and Wine's ReadFile first probes its whole buffer, reading
// and writing back one byte of every page. On fresh memory that costs two page faults a page:
// one maps the shared zero page, the next replaces it with a page of its own. Writing every
// page once here costs one fault a page, and the probe then finds them all present. On Windows
// the same pages would be faulted in by the read itself, so this costs nothing there.
void* Win32AllocBlock(uint32_t size) {
  char* block = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
  if (block) {
    // 64-bit steps, so that a block just below 4 GiB cannot wrap the offset.
    for (uint64_t at = 0; at < size; at += 4096) block[at] = 0;
  }
  return block;
}

void Win32FreeBlock(void* block) {
  HeapFree(GetProcessHeap(), 0, block);
}

void Win32UpperCase(char* text) {
  CharUpperA(text);
}

// wvsprintfA writes at most 1024 characters and knows nothing of the buffer's size, so it
// formats into a scratch buffer of that capacity first and copies only a result that fits.
int Win32FormatV(char* out, size_t size, const char* format, va_list args) {
  char scratch[1025];
  int length = wvsprintfA(scratch, format, args);
  if (length < 0 || static_cast<size_t>(length) >= size) {
    if (size > 0) out[0] = '\0';
    return -1;
  }
  std::memcpy(out, scratch, static_cast<size_t>(length) + 1);
  return length;
}

FileHandle Win32CreateNew(const char* name, bool* taken) {
  HANDLE h =
      CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) return reinterpret_cast<FileHandle>(h);
  // A folder of that name, or a file still being deleted, answers "access denied".
  const DWORD error = GetLastError();
  *taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
           error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
  return kNoFile;
}

FileHandle Win32CreateTempBeside(const char* path, char* name, size_t size) {
  return CreateUnderFreeName(path, name, size, Win32CreateNew);
}

// A rename within one folder, which the file system does in one step. Without
// MOVEFILE_COPY_ALLOWED it can never turn into a copy that fails halfway. With
// MOVEFILE_WRITE_THROUGH it returns only once the rename itself is on the disk; the file's
// bytes stay with the cache, as every other write of the program does.
int Win32MoveOver(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
}

int Win32RemoveFile(const char* path) {
  return DeleteFileA(path) ? 1 : 0;
}

int Win32FreeSpace(const char* folder, uint64_t* bytes) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExA(folder, &available, nullptr, nullptr)) return 0;
  *bytes = available.QuadPart;
  return 1;
}

}  // namespace

const PlatformOps& RealPlatformOps() {
  static const PlatformOps ops = {
      .openForRead = Win32OpenForRead,
      .createForWrite = Win32CreateForWrite,
      .nameSize = Win32NameSize,
      .fileSize = Win32FileSize,
      .readBlock = Win32ReadBlock,
      .writeBlock = Win32WriteBlock,
      .closeFile = Win32CloseFile,
      .tickCount = Win32TickCount,
      .allocBlock = Win32AllocBlock,
      .freeBlock = Win32FreeBlock,
      .upperCase = Win32UpperCase,
      .formatV = Win32FormatV,
      .createTempBeside = Win32CreateTempBeside,
      .moveOver = Win32MoveOver,
      .removeFile = Win32RemoveFile,
      .freeSpace = Win32FreeSpace,
  };
  return ops;
}
