// Win32 implementation of the platform operations: the table, and the calls of the clock, the
// error codes and the memory. Paths arrive as UTF-8 and reach Windows through the wide entry
// points only, converted at each call, so that every name means exactly the file it spells, in
// any language and at any length Windows allows.
#include "platform/platform_win.h"

#include <windows.h>

#include <string>

#include "platform/wide_text_win.h"
#include "platform/win_path.h"

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

namespace {

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

void Win32Sleep(uint32_t ms) {
  Sleep(ms);
}

}  // namespace

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
