#include "tests/fault_ops.h"

#include <cstring>
#include <utility>

#include "platform/platform.h"

namespace {

struct State {
  int calls[static_cast<int>(FaultOp::kCount)];
  int failAt[static_cast<int>(FaultOp::kCount)];
  bool failForever[static_cast<int>(FaultOp::kCount)];
  int openFiles;
  int liveBlocks;
  uint64_t bytesAllocated;
  bool fixedTicks;
  uint32_t ticks;
  bool fixedFreeSpace;
  uint64_t freeSpace;
  bool failAsHeld;
  bool lastFailed;  // whether the last call counted here was made to fail
};
State g_state;

struct PendingAction {
  FaultOp op;
  int n;
  std::function<void()> action;
};
PendingAction g_pending;

// Counts the call and says whether it is one of those chosen to fail.
bool ShouldFail(FaultOp op) {
  const int i = static_cast<int>(op);
  const int n = ++g_state.calls[i];
  if (g_pending.action && g_pending.op == op && g_pending.n == n) {
    std::function<void()> action = std::move(g_pending.action);
    g_pending.action = nullptr;
    action();
  }
  const int at = g_state.failAt[i];
  g_state.lastFailed = at > 0 && (n == at || (g_state.failForever[i] && n > at));
  return g_state.lastFailed;
}

PlatformOps g_underlying;

const PlatformOps& Real() {
  return g_underlying;
}

FileHandle FaultOpenForRead(const char* path) {
  if (ShouldFail(FaultOp::kOpenForRead)) return kNoFile;
  FileHandle file = Real().openForRead(path);
  if (file != kNoFile) ++g_state.openFiles;
  return file;
}

FileHandle FaultCreateNew(const char* path) {
  if (ShouldFail(FaultOp::kCreateNew)) return kNoFile;
  FileHandle file = Real().createNew(path);
  if (file != kNoFile) ++g_state.openFiles;
  return file;
}

NameLookup FaultLookUpName(const char* path, uint64_t* size) {
  if (ShouldFail(FaultOp::kLookUpName)) return NameLookup::kUnknown;
  return Real().lookUpName(path, size);
}

bool FaultQueryFileSize(FileHandle file, uint64_t* size) {
  if (ShouldFail(FaultOp::kQueryFileSize)) return false;
  return Real().queryFileSize(file, size);
}

bool FaultQueryFileState(FileHandle file, FileState* state) {
  if (ShouldFail(FaultOp::kQueryFileState)) return false;
  return Real().queryFileState(file, state);
}

bool FaultReadBlock(FileHandle file, void* buffer, uint32_t count) {
  if (ShouldFail(FaultOp::kReadBlock)) return false;
  return Real().readBlock(file, buffer, count);
}

bool FaultWriteBlock(FileHandle file, const void* buffer, uint32_t count) {
  if (ShouldFail(FaultOp::kWriteBlock)) {
    Real().writeBlock(file, buffer, count / 2);
    return false;
  }
  return Real().writeBlock(file, buffer, count);
}

// Reads and writes at an offset count as reads and writes.
bool FaultReadBlockAt(FileHandle file, uint64_t offset, void* buffer, uint32_t count) {
  if (ShouldFail(FaultOp::kReadBlock)) return false;
  return Real().readBlockAt(file, offset, buffer, count);
}

bool FaultWriteBlockAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t count) {
  if (ShouldFail(FaultOp::kWriteBlock)) {
    Real().writeBlockAt(file, offset, buffer, count / 2);
    return false;
  }
  return Real().writeBlockAt(file, offset, buffer, count);
}

void FaultCloseFile(FileHandle file) {
  --g_state.openFiles;
  Real().closeFile(file);
}

uint32_t FaultTickCount() {
  return g_state.fixedTicks ? g_state.ticks : Real().tickCount();
}

void* FaultAllocBlock(uint32_t size) {
  if (ShouldFail(FaultOp::kAllocBlock)) return nullptr;
  void* block = Real().allocBlock(size);
  if (block) {
    ++g_state.liveBlocks;
    g_state.bytesAllocated += size;
  }
  return block;
}

void FaultFreeBlock(void* block) {
  --g_state.liveBlocks;
  Real().freeBlock(block);
}

bool FaultMoveOver(const char* from, const char* to) {
  if (ShouldFail(FaultOp::kMoveOver)) return false;
  return Real().moveOver(from, to);
}

bool FaultRemoveFile(const char* path) {
  if (ShouldFail(FaultOp::kRemoveFile)) return false;
  return Real().removeFile(path);
}

bool FaultFreeSpace(const char* folder, uint64_t* bytes) {
  if (ShouldFail(FaultOp::kFreeSpace)) return false;
  if (!g_state.fixedFreeSpace) return Real().freeSpace(folder, bytes);
  *bytes = g_state.freeSpace;
  return true;
}

bool FaultListFolder(const char* folder, bool (*visit)(void* data, const char* name), void* data) {
  if (ShouldFail(FaultOp::kListFolder)) return false;
  return Real().listFolder(folder, visit, data);
}

// What a failure made here means is decided here, not by whatever error code came before it.
bool FaultMayBeHeld(uint32_t error, const char* path) {
  if (g_state.lastFailed) return g_state.failAsHeld;
  return Real().mayBeHeld(error, path);
}

bool FaultNameTaken(uint32_t error, const char* path) {
  return !g_state.lastFailed && Real().nameTaken(error, path);
}

bool FaultFlushFile(FileHandle file) {
  if (ShouldFail(FaultOp::kFlushFile)) return false;
  return Real().flushFile(file);
}

Helper* FaultStartHelper() {
  if (ShouldFail(FaultOp::kStartHelper)) return nullptr;
  return Real().startHelper();
}

bool FaultStopCheck(void*) {
  return ShouldFail(FaultOp::kStopCheck);
}

}  // namespace

const char* FaultOpName(FaultOp op) {
  static const char* const names[] = {"openForRead", "createNew",  "lookUpName",    "queryFileSize",
                                      "readBlock",   "writeBlock", "allocBlock",    "moveOver",
                                      "removeFile",  "freeSpace",  "listFolder",    "flushFile",
                                      "startHelper", "stopCheck",  "queryFileState"};
  return names[static_cast<int>(op)];
}

void InstallFaultOps() {
  g_underlying = RealPlatformOps();
  std::memset(&g_state, 0, sizeof g_state);
  g_pending = PendingAction{};
  PlatformOps ops = RealPlatformOps();
  ops.openForRead = FaultOpenForRead;
  ops.createNew = FaultCreateNew;
  ops.lookUpName = FaultLookUpName;
  ops.queryFileSize = FaultQueryFileSize;
  ops.queryFileState = FaultQueryFileState;
  ops.readBlock = FaultReadBlock;
  ops.writeBlock = FaultWriteBlock;
  ops.readBlockAt = FaultReadBlockAt;
  ops.writeBlockAt = FaultWriteBlockAt;
  ops.closeFile = FaultCloseFile;
  ops.tickCount = FaultTickCount;
  ops.allocBlock = FaultAllocBlock;
  ops.freeBlock = FaultFreeBlock;
  ops.moveOver = FaultMoveOver;
  ops.removeFile = FaultRemoveFile;
  ops.freeSpace = FaultFreeSpace;
  ops.listFolder = FaultListFolder;
  ops.mayBeHeld = FaultMayBeHeld;
  ops.nameTaken = FaultNameTaken;
  ops.flushFile = FaultFlushFile;
  ops.startHelper = FaultStartHelper;
  SetPlatformOps(ops);
}

void RemoveFaultOps() {
  g_pending = PendingAction{};
  ResetPlatformOps();
}

WorkContext FaultContext() {
  WorkContext work;
  work.stopCheck = FaultStopCheck;
  return work;
}

void FailCall(FaultOp op, int n, bool forever) {
  g_state.failAt[static_cast<int>(op)] = n;
  g_state.failForever[static_cast<int>(op)] = forever;
}

void FailAsHeld(bool held) {
  g_state.failAsHeld = held;
}

void BeforeCall(FaultOp op, int n, std::function<void()> action) {
  g_pending = PendingAction{op, n, std::move(action)};
}

void FixTickCount(uint32_t ticks) {
  g_state.fixedTicks = true;
  g_state.ticks = ticks;
}

void FixFreeSpace(uint64_t bytes) {
  g_state.fixedFreeSpace = true;
  g_state.freeSpace = bytes;
}

int CallCount(FaultOp op) {
  return g_state.calls[static_cast<int>(op)];
}
int OpenFiles() {
  return g_state.openFiles;
}
int LiveBlocks() {
  return g_state.liveBlocks;
}
uint64_t BytesAllocated() {
  return g_state.bytesAllocated;
}

PlatformOps& UnderlyingOps() {
  return g_underlying;
}
