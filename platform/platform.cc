// The table of calls in force, the short names that call through it, and the program's policy
// over them, once for both systems.
#include "platform/platform.h"

#include "platform/file_path.h"

namespace {

// The replaced calls, in force while `g_replaced` is set. Both start zeroed, before any code
// runs, and the real table is a constant: the calls are ready for any thread at any time,
// without a lock or a guard of a local static, which the shipped program has none of.
PlatformOps g_replacement;
bool g_replaced = false;

const PlatformOps& Ops() {
  return g_replaced ? g_replacement : RealPlatformOps();
}

// Virus scanners, indexers and cloud clients open new files for a moment without delete
// sharing, and a rename or deletion meanwhile fails. Such an attempt is repeated in steps of
// 50 ms, 40 times (about two seconds), before it counts as a failure; one that no other program
// causes fails at once. Counted in attempts, not by the clock, so that a clock that stands
// still cannot make it wait for ever.
constexpr int kHeldAttempts = 40;
constexpr uint32_t kHeldStepMs = 50;

template <typename Attempt>
bool RetryWhileHeld(const char* path, Attempt attempt) {
  for (int tries = 1;; ++tries) {
    if (attempt()) return true;
    if (tries == kHeldAttempts || !Ops().mayBeHeld(Ops().lastError(), path)) return false;
    Ops().sleep(kHeldStepMs);
  }
}

// The folder that holds the file `path`, as the calls on folders take it.
std::string FolderBeside(const char* path) {
  return FilePath(path).DirName().value();
}

}  // namespace

void SetPlatformOps(const PlatformOps& ops) {
  g_replacement = ops;
  g_replaced = true;
}
void ResetPlatformOps() {
  g_replaced = false;
}

FileHandle OpenForRead(const char* path) {
  return Ops().openForRead(path);
}
FileHandle CreateNew(const char* path) {
  return Ops().createNew(path);
}
NameLookup LookUpName(const char* path, uint64_t* size) {
  return Ops().lookUpName(path, size);
}
bool IsReadOnly(const char* path) {
  return Ops().isReadOnly(path);
}
bool QueryFileSize(FileHandle file, uint64_t* size) {
  return Ops().queryFileSize(file, size);
}
bool ReadBlock(FileHandle file, void* buffer, uint32_t count) {
  return Ops().readBlock(file, buffer, count);
}
bool WriteBlock(FileHandle file, const void* buffer, uint32_t count) {
  return Ops().writeBlock(file, buffer, count);
}
void CloseFile(FileHandle file) {
  Ops().closeFile(file);
}
bool FlushFile(FileHandle file) {
  return Ops().flushFile(file);
}
Helper* StartHelper() {
  return Ops().startHelper();
}
void EndHelper(Helper* helper) {
  Ops().endHelper(helper);
}
uint32_t TickCount() {
  return Ops().tickCount();
}
uint32_t LastError() {
  return Ops().lastError();
}
std::string ErrorText(uint32_t code) {
  return Ops().errorText(code);
}
void* AllocBlock(uint32_t size) {
  return Ops().allocBlock(size);
}
void FreeBlock(void* block) {
  Ops().freeBlock(block);
}

bool MoveOver(const char* from, const char* to) {
  return RetryWhileHeld(to, [&] { return Ops().moveOver(from, to); });
}

bool RemoveFile(const char* path) {
  return RetryWhileHeld(path, [&] { return Ops().removeFile(path); });
}

// The name is the path with three more bytes, so it lies in the same folder whatever the code
// page. It never ends in a hyphen and digits, so it is never taken for a piece.
FileHandle CreateTempBeside(const char* path, std::string* name) {
  if (*path == '\0') return kNoFile;
  std::string candidate = FilePath(path).AddSuffix("~00").value();
  const size_t digits = candidate.size() - 2;
  static const char kHex[] = "0123456789ABCDEF";
  for (unsigned serial = 0; serial < 256; ++serial) {
    candidate[digits] = kHex[serial >> 4];
    candidate[digits + 1] = kHex[serial & 15];
    const FileHandle file = Ops().createNew(candidate.c_str());
    if (file != kNoFile) {
      *name = candidate;
      return file;
    }
    if (!Ops().nameTaken(Ops().lastError())) return kNoFile;
  }
  return kNoFile;
}

bool FreeSpaceBeside(const char* path, uint64_t* bytes) {
  return Ops().freeSpace(FolderBeside(path).c_str(), bytes);
}

bool ListBeside(const char* path, bool (*visit)(void* data, const char* name), void* data) {
  return Ops().listFolder(FolderBeside(path).c_str(), visit, data);
}
