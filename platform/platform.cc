// The table of calls in force on each thread, the short names that call through it, and the
// program's policy over them, once for both systems.
#include "platform/platform.h"

#include <string_view>
#include <vector>

#include "platform/ascii.h"
#include "platform/file_path.h"

namespace {

// The calls in force on this thread, or null for the real ones, and the copy of a table that
// SetPlatformOps put in force here. Thread-locals of plain types, which start zeroed on every
// thread, and the real table is a constant: the calls are ready on any thread at any time,
// without a lock, an initialiser or a guard of a local static, which the shipped program has
// none of.
thread_local const PlatformOps* t_inForce;
thread_local PlatformOps t_replacement;

const PlatformOps& Ops() {
  return t_inForce ? *t_inForce : RealPlatformOps();
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

}  // namespace

void SetPlatformOps(const PlatformOps& ops) {
  t_replacement = ops;
  t_inForce = &t_replacement;
}
void ResetPlatformOps() {
  t_inForce = nullptr;
}

const PlatformOps* PlatformOpsInForce() {
  return t_inForce;
}

PlatformOpsScope::PlatformOpsScope(const PlatformOps* ops) : before_(t_inForce) {
  if (ops) t_inForce = ops;
}
PlatformOpsScope::~PlatformOpsScope() {
  t_inForce = before_;
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
bool QueryFileState(FileHandle file, FileState* state) {
  return Ops().queryFileState(file, state);
}
bool RewindFile(FileHandle file) {
  return Ops().rewindFile(file);
}
bool ReadBlock(FileHandle file, void* buffer, uint32_t count) {
  return Ops().readBlock(file, buffer, count);
}
bool WriteBlock(FileHandle file, const void* buffer, uint32_t count) {
  return Ops().writeBlock(file, buffer, count);
}
bool ReadBlockAt(FileHandle file, uint64_t offset, void* buffer, uint32_t count) {
  return Ops().readBlockAt(file, offset, buffer, count);
}
bool WriteBlockAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t count) {
  return Ops().writeBlockAt(file, offset, buffer, count);
}
void CloseFile(FileHandle file) {
  Ops().closeFile(file);
}
bool NameTaken(uint32_t error, const char* path) {
  return Ops().nameTaken(error, path);
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

bool CanReplace(const char* path) {
  return RetryWhileHeld(path, [&] { return Ops().canReplace(path); });
}

// The name is the path with three more bytes, so it lies in the same folder whatever the code
// page. It never ends in a hyphen and digits, so it is never taken for a piece.
FileHandle CreateTempBeside(const char* path, std::string* name) {
  if (*path == '\0') return kNoFile;
  std::string candidate = FilePath(path).AddSuffix("~00").value();
  const size_t digits = candidate.size() - 2;
  for (unsigned serial = 0; serial < 256; ++serial) {
    candidate[digits] = AsciiUpper(HexDigit(serial >> 4));
    candidate[digits + 1] = AsciiUpper(HexDigit(serial));
    const FileHandle file = Ops().createNew(candidate.c_str());
    if (file != kNoFile) {
      *name = candidate;
      return file;
    }
    if (!Ops().nameTaken(Ops().lastError(), candidate.c_str())) return kNoFile;
  }
  return kNoFile;
}

namespace {

// The names of a folder that a killed restore of the file named `output` may have left.
struct LeftTemps {
  std::string output;
  std::vector<std::string> suffixes;  // "~HH" of each
};

// A name of the shape CreateTempBeside gives beside the output: its name, its ASCII letters in
// either case, then "~" and two of the hexadecimal digits written there.
bool CollectLeftTemp(void* data, const char* name) {
  auto* temps = static_cast<LeftTemps*>(data);
  const std::string_view whole(name);
  const size_t at = temps->output.size();
  const auto written = [](char c) { return HexValue(c) >= 0 && c == AsciiUpper(c); };
  if (whole.size() == at + 3 && SameIgnoringAsciiCase(whole.substr(0, at), temps->output) &&
      whole[at] == '~' && written(whole[at + 1]) && written(whole[at + 2])) {
    temps->suffixes.emplace_back(name + at);
  }
  return true;
}

}  // namespace

void RemoveLeftTemps(const char* path) {
  LeftTemps temps = {FilePath(path).BaseName(), {}};
  if (temps.output.empty() || !ListBeside(path, CollectLeftTemp, &temps)) return;
  for (const std::string& suffix : temps.suffixes) {
    Ops().removeUnheld(FilePath(path).AddSuffix(suffix).c_str());
  }
}

bool FreeSpaceBeside(const char* path, uint64_t* bytes) {
  return Ops().freeSpace(FilePath(path).DirName().c_str(), bytes);
}

bool ListBeside(const char* path, bool (*visit)(void* data, const char* name), void* data) {
  return Ops().listFolder(FilePath(path).DirName().c_str(), visit, data);
}
