// The Win32 calls on names and folders: looking a name up, what holds or takes it, renaming and
// removing files, a folder's free space and its listing (platform/platform_win.h).
#include <windows.h>

#include <string>

#include "platform/platform_win.h"
#include "platform/wide_text_win.h"

namespace {

// Whether the system answers that no file or folder of this name exists.
bool NotFound(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The full "\\?\" form of a folder, ending in a backslash.
bool FolderName(const char* folder, std::wstring* name) {
  if (!SystemName(folder, name)) return false;
  if (name->back() != L'\\') *name += L'\\';
  return true;
}

}  // namespace

// One query answers both whether the name exists and how big it is, without opening it.
// Only "file not found" and "path not found" say that the name does not exist; any other
// error (a network share that did not answer, no right to look) leaves that open.
NameLookup Win32LookUpName(const char* path, uint64_t* size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  std::wstring name;
  if (!SystemName(path, &name) ||
      !GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) {
    return NotFound(GetLastError()) ? NameLookup::kMissing : NameLookup::kUnknown;
  }
  const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  *size = folder ? 0 : (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return NameLookup::kFound;
}

bool Win32IsReadOnly(const char* path) {
  std::wstring name;
  if (!SystemName(path, &name)) return false;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) return false;
  return (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) ==
         FILE_ATTRIBUTE_READONLY;
}

// Whether a failure is a short hold by another program: a sharing or lock violation, or "access
// denied", which is also the answer for a folder or a read-only file named `path` (the rename's
// target, the file to delete): no wait changes those.
bool Win32MayBeHeld(uint32_t error, const char* path) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
  if (error != ERROR_ACCESS_DENIED) return false;
  std::wstring name;
  WIN32_FILE_ATTRIBUTE_DATA data;
  const bool held =
      !SystemName(path, &name) ||
      !GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
  SetLastError(error);
  return held;
}

// A folder of that name, or a file still being deleted, answers "access denied" or a sharing
// violation; so does a folder where this process may not create files, but there the name is
// not found.
bool Win32NameTaken(uint32_t error, const char* path) {
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return true;
  if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return false;
  std::wstring name;
  WIN32_FILE_ATTRIBUTE_DATA data;
  const bool taken = !SystemName(path, &name) ||
                     GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data) ||
                     !NotFound(GetLastError());
  SetLastError(error);
  return taken;
}

// A rename within one folder, which the file system does in one step. Without
// MOVEFILE_COPY_ALLOWED it can never turn into a copy that fails halfway. With
// MOVEFILE_WRITE_THROUGH it returns only once the rename itself is on the disk; the file's own
// bytes were flushed before (flushFile).
bool Win32MoveOver(const char* from, const char* to) {
  std::wstring fromName;
  std::wstring toName;
  if (!SystemName(from, &fromName) || !SystemName(to, &toName)) return false;
  return MoveFileExW(fromName.c_str(), toName.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32RemoveFile(const char* path) {
  std::wstring name;
  if (!SystemName(path, &name)) return false;
  return DeleteFileW(name.c_str()) || NotFound(GetLastError());
}

// A file that its program holds open without delete sharing cannot be deleted meanwhile: the
// deletion fails at once, and is not tried again.
bool Win32RemoveUnheld(const char* path) {
  return Win32RemoveFile(path);
}

// The rename opens its target for deletion; so does this, sharing everything, and lets go.
bool Win32CanReplace(const char* path) {
  std::wstring name;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!SystemName(path, &name)) return false;
  if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) {
    return NotFound(GetLastError());
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  const HANDLE file =
      CreateFileW(name.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool Win32FreeSpace(const char* folder, uint64_t* bytes) {
  std::wstring name;
  ULARGE_INTEGER available;
  if (!FolderName(folder, &name) ||
      !GetDiskFreeSpaceExW(name.c_str(), &available, nullptr, nullptr)) {
    return false;
  }
  *bytes = available.QuadPart;
  return true;
}

// "*" after the folder names everything in it.
bool Win32ListFolder(const char* folder, bool (*visit)(void* data, const char* name), void* data) {
  std::wstring pattern;
  if (!FolderName(folder, &pattern)) return false;
  pattern += L'*';
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool more = true;
  while (more) {
    std::string name;
    const wchar_t* const n = found.cFileName;
    const bool dots = n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0));
    if (!dots && Utf8FromWide(found.cFileName, &name) && !visit(data, name.c_str())) break;
    more = FindNextFileW(search, &found) != 0;
  }
  // The search ends with "no more files"; any other error means the listing was not whole.
  const DWORD error = more ? ERROR_NO_MORE_FILES : GetLastError();
  FindClose(search);
  if (error == ERROR_NO_MORE_FILES) return true;
  SetLastError(error);
  return false;
}
