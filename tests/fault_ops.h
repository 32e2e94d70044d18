// Fault injection under the file engines: wraps the real platform operations, counts every
// call, tracks open files and live memory blocks, and makes chosen calls fail.
#pragma once

#include <cstdint>
#include <functional>

#include "core/work_context.h"
#include "platform/platform.h"

enum class FaultOp {
  kOpenForRead,
  kCreateNew,
  kLookUpName,
  kQueryFileSize,
  kReadBlock,
  kWriteBlock,
  kAllocBlock,
  kMoveOver,
  kRemoveFile,
  kFreeSpace,
  kListFolder,
  kFlushFile,
  kStartHelper,
  kStopCheck,  // a work's question whether to stop (FaultContext): made to fail, it answers yes
  kQueryFileState,
  kCount
};

const char* FaultOpName(FaultOp op);

// Installs the counting wrappers with no faults and zeroed counters on this thread. Until
// RemoveFaultOps() (or ResetPlatformOps()), every platform call of this thread goes through them,
// and of a work's thread that takes this thread's calls with it (PlatformOpsScope).
void InstallFaultOps();
void RemoveFaultOps();

// Makes call number `n` (from 1) of `op` fail; with `forever`, every later call fails too.
// A failing read delivers nothing; a failing write stores half of the bytes first, as a disk
// that fills up does; a failing move or removal changes nothing; a failing look-up cannot tell;
// a failing listing lists nothing; a helper that cannot be started leaves the hashing to the
// work's own thread. Such a failure is no name taken and, unless FailAsHeld says otherwise, no
// hold by another program: the platform's policy above the calls gives up on it at once.
void FailCall(FaultOp op, int n, bool forever = false);
// From now on, the failures that FailCall makes look like a brief hold of the file by another
// program, which the policy waits out, trying again.
void FailAsHeld(bool held);
// Runs `action` just before call number `n` (from 1) of `op` is served, for instance to change a
// file between two passes of an engine. One action at a time; it runs once.
void BeforeCall(FaultOp op, int n, std::function<void()> action);
// Every tick-count reading returns this value from now on.
void FixTickCount(uint32_t ticks);
// Every free-space query succeeds with this many bytes from now on (unless made to fail).
void FixFreeSpace(uint64_t bytes);
// The operations that the wrappers call through, counting and failing as above: the real ones
// when installed. A test may replace one, for instance to report sizes no file has.
PlatformOps& UnderlyingOps();

// A work's context whose stop check is counted and made to fail as kStopCheck.
WorkContext FaultContext();

int CallCount(FaultOp op);
int OpenFiles();            // files opened and not yet closed
int LiveBlocks();           // blocks allocated and not yet freed
uint64_t BytesAllocated();  // sizes of all blocks handed out, added up

// Restores the real operations when a test scope ends.
struct ScopedFaultOps {
  ScopedFaultOps() { InstallFaultOps(); }
  ~ScopedFaultOps() { RemoveFaultOps(); }
};
