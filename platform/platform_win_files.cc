// The Win32 calls on files: opening and creating them, their reads and writes, their size and
// last write, and putting them on the disk (platform/platform_win.h).
#include <windows.h>

#include "platform/platform_win.h"

namespace {

HANDLE OpenNamed(const char* path, DWORD access, DWORD sharing, DWORD creation, DWORD flags) {
  std::wstring name;
  if (!SystemName(path, &name)) return INVALID_HANDLE_VALUE;
  return CreateFileW(name.c_str(), access, sharing, nullptr, creation, flags, nullptr);
}

HANDLE AsHandle(FileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}

// A synchronous handle reads and writes at the offset an OVERLAPPED names.
OVERLAPPED At(uint64_t offset) {
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
}

}  // namespace

FileHandle Win32OpenForRead(const char* path) {
  HANDLE h = OpenNamed(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL);
  return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

FileHandle Win32CreateNew(const char* path) {
  HANDLE h = OpenNamed(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
  return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

bool Win32QueryFileState(FileHandle file, FileState* state) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(AsHandle(file), &info)) return false;
  state->size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  state->writeTime =
      (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
  return true;
}

bool Win32RewindFile(FileHandle file) {
  LARGE_INTEGER start;
  start.QuadPart = 0;
  return SetFilePointerEx(AsHandle(file), start, nullptr, FILE_BEGIN) != 0;
}

bool Win32QueryFileSize(FileHandle file, uint64_t* size) {
  DWORD high = 0;
  SetLastError(NO_ERROR);
  const DWORD low = GetFileSize(AsHandle(file), &high);
  // INVALID_FILE_SIZE is also a valid low half; only the error code tells them apart.
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  *size = (uint64_t{high} << 32) | low;
  return true;
}

// One ReadFile for the whole block; fewer bytes than asked is a failure: the file ended first.
bool Win32ReadBlock(FileHandle file, void* buffer, uint32_t count) {
  DWORD done = 0;
  if (!ReadFile(AsHandle(file), buffer, count, &done, nullptr)) return false;
  if (done == count) return true;
  SetLastError(ERROR_HANDLE_EOF);
  return false;
}

// Fewer bytes written than asked, without an error, is what a full disk does.
bool Win32WriteBlock(FileHandle file, const void* buffer, uint32_t count) {
  DWORD done = 0;
  if (!WriteFile(AsHandle(file), buffer, count, &done, nullptr)) return false;
  if (done == count) return true;
  SetLastError(ERROR_DISK_FULL);
  return false;
}

bool Win32ReadBlockAt(FileHandle file, uint64_t offset, void* buffer, uint32_t count) {
  OVERLAPPED at = At(offset);
  DWORD done = 0;
  if (!ReadFile(AsHandle(file), buffer, count, &done, &at)) return false;
  if (done == count) return true;
  SetLastError(ERROR_HANDLE_EOF);
  return false;
}

bool Win32WriteBlockAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t count) {
  OVERLAPPED at = At(offset);
  DWORD done = 0;
  if (!WriteFile(AsHandle(file), buffer, count, &done, &at)) return false;
  if (done == count) return true;
  SetLastError(ERROR_DISK_FULL);
  return false;
}

void Win32CloseFile(FileHandle file) {
  CloseHandle(AsHandle(file));
}

// Some file systems have no flush and answer "invalid function" or "not supported"; the bytes
// were written all the same.
bool Win32FlushFile(FileHandle file) {
  if (FlushFileBuffers(AsHandle(file))) return true;
  const DWORD error = GetLastError();
  return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}
