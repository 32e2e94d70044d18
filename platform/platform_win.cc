// Win32 implementation of the platform operations. Paths arrive as UTF-8 and reach Windows
// through the wide entry points only, converted at each call, so that every name means exactly
// the file it spells, in any language and at any length Windows allows.
#include <process.h>
#include <windows.h>

#include <new>
#include <string>

#include "platform/helper.h"
#include "platform/helper_state.h"
#include "platform/platform.h"
#include "platform/wide_text_win.h"
#include "platform/win_path.h"

namespace {

// The name that a wide call gets for a UTF-8 path: the "\\?\" form of its exact full path, so
// that it means the file it spells, at any length (platform/win_path.h). A text that is not
// valid UTF-8 fails, with the error code of an invalid name.
bool SystemName(const char* path, std::wstring* name) {
  std::wstring wide;
  std::wstring full;
  if (!WideFromUtf8(path, &wide)) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  if (!ExactFullPath(wide, &full)) return false;
  *name = LongForm(full);
  return true;
}

HANDLE OpenNamed(const char* path, DWORD access, DWORD sharing, DWORD creation, DWORD flags) {
  std::wstring name;
  if (!SystemName(path, &name)) return INVALID_HANDLE_VALUE;
  return CreateFileW(name.c_str(), access, sharing, nullptr, creation, flags, nullptr);
}

HANDLE AsHandle(FileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}

FileHandle Win32OpenForRead(const char* path) {
  HANDLE h = OpenNamed(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL);
  return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

FileHandle Win32CreateNew(const char* path) {
  HANDLE h = OpenNamed(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
  return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

// One query answers both whether the name exists and how big it is, without opening it.
// Only "file not found" and "path not found" say that the name does not exist; any other
// error (a network share that did not answer, no right to look) leaves that open.
NameLookup Win32LookUpName(const char* path, uint64_t* size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  std::wstring name;
  if (!SystemName(path, &name) ||
      !GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? NameLookup::kMissing
                                                                          : NameLookup::kUnknown;
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

// A synchronous handle reads and writes at the offset an OVERLAPPED names.
OVERLAPPED At(uint64_t offset) {
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
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

uint32_t Win32TickCount() {
  return GetTickCount();
}

uint32_t Win32LastError() {
  return GetLastError();
}

std::string Win32ErrorText(uint32_t code) {
  wchar_t text[512];
  // The user's language first (language 0), line breaks of the message text left out.
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
      nullptr, code, 0, text, 512, nullptr);
  std::wstring wide(text, length);
  while (!wide.empty() && (wide.back() == L' ' || wide.back() == L'\r' || wide.back() == L'\n')) {
    wide.pop_back();
  }
  std::string utf8;
  return Utf8FromWide(wide.c_str(), &utf8) ? utf8 : std::string();
}

void* Win32AllocBlock(uint32_t size) {
  return HeapAlloc(GetProcessHeap(), 0, size);
}

void Win32FreeBlock(void* block) {
  HeapFree(GetProcessHeap(), 0, block);
}

// Whether a failure is a brief hold by another program: a sharing or lock violation, or "access
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

// Whether the system answers that no file or folder of this name exists.
bool NotFound(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
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

void Win32Sleep(uint32_t ms) {
  Sleep(ms);
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

// Some file systems have no flush and answer "invalid function" or "not supported"; the bytes
// were written all the same.
bool Win32FlushFile(FileHandle file) {
  if (FlushFileBuffers(AsHandle(file))) return true;
  const DWORD error = GetLastError();
  return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

// The full "\\?\" form of a folder, ending in a backslash.
bool FolderName(const char* folder, std::wstring* name) {
  if (!SystemName(folder, name)) return false;
  if (name->back() != L'\\') *name += L'\\';
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

unsigned __stdcall RunHelperThread(void* helper) {
  RunHelper(static_cast<Helper*>(helper));
  return 0;
}

// The helper's thread comes from the C runtime (as the window's work does), so that whatever its
// tasks call of the runtime is set up for it.
Helper* Win32StartHelper() {
  Helper* helper = new (std::nothrow) Helper;
  if (!helper) return nullptr;
  HANDLE wakeHelper = CreateSemaphoreW(nullptr, 0, LONG_MAX, nullptr);
  HANDLE wakeCaller = CreateSemaphoreW(nullptr, 0, LONG_MAX, nullptr);
  helper->wakeHelper = reinterpret_cast<Signal>(wakeHelper);
  helper->wakeCaller = reinterpret_cast<Signal>(wakeCaller);
  const uintptr_t thread = wakeHelper && wakeCaller
                               ? _beginthreadex(nullptr, 0, RunHelperThread, helper, 0, nullptr)
                               : 0;
  if (thread == 0) {
    if (wakeHelper) CloseHandle(wakeHelper);
    if (wakeCaller) CloseHandle(wakeCaller);
    delete helper;
    return nullptr;
  }
  helper->thread = static_cast<intptr_t>(thread);
  return helper;
}

void Win32EndHelper(Helper* helper) {
  HandToHelper(helper, nullptr, nullptr);  // a null task ends the loop
  const HANDLE thread = reinterpret_cast<HANDLE>(helper->thread);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  CloseHandle(reinterpret_cast<HANDLE>(helper->wakeHelper));
  CloseHandle(reinterpret_cast<HANDLE>(helper->wakeCaller));
  delete helper;
}

}  // namespace

void RaiseSignal(Signal signal) {
  ReleaseSemaphore(reinterpret_cast<HANDLE>(signal), 1, nullptr);
}

void SleepOnSignal(Signal signal) {
  WaitForSingleObject(reinterpret_cast<HANDLE>(signal), INFINITE);
}

const PlatformOps& RealPlatformOps() {
  static const PlatformOps ops = {
      .openForRead = Win32OpenForRead,
      .createNew = Win32CreateNew,
      .lookUpName = Win32LookUpName,
      .isReadOnly = Win32IsReadOnly,
      .queryFileSize = Win32QueryFileSize,
      .queryFileState = Win32QueryFileState,
      .rewindFile = Win32RewindFile,
      .readBlock = Win32ReadBlock,
      .writeBlock = Win32WriteBlock,
      .readBlockAt = Win32ReadBlockAt,
      .writeBlockAt = Win32WriteBlockAt,
      .closeFile = Win32CloseFile,
      .moveOver = Win32MoveOver,
      .removeFile = Win32RemoveFile,
      .removeUnheld = Win32RemoveUnheld,
      .canReplace = Win32CanReplace,
      .mayBeHeld = Win32MayBeHeld,
      .nameTaken = Win32NameTaken,
      .freeSpace = Win32FreeSpace,
      .listFolder = Win32ListFolder,
      .flushFile = Win32FlushFile,
      .startHelper = Win32StartHelper,
      .endHelper = Win32EndHelper,
      .tickCount = Win32TickCount,
      .sleep = Win32Sleep,
      .lastError = Win32LastError,
      .errorText = Win32ErrorText,
      .allocBlock = Win32AllocBlock,
      .freeBlock = Win32FreeBlock,
  };
  return ops;
}
