// The one copy loop of the engines: bytes go from one open file to another through buffers of
// fixed size, whatever the size of the file, and may be hashed on the way. The hashing runs
// beside the reading and writing, on a helper thread: while it hashes one buffer, this thread
// writes that buffer and reads the next into the other one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/sha256.h"
#include "core/work_context.h"
#include "platform/file_path.h"
#include "platform/platform.h"

// A block from the platform's heap, released when its owner goes.
struct BlockRelease {
  void operator()(char* block) const { FreeBlock(block); }
};
typedef std::unique_ptr<char, BlockRelease> StreamBuffer;

// What a work copies through: one buffer of kStreamBufferBytes, or, for a work that hashes,
// two and the helper thread (none where no thread can be had: then this thread hashes).
struct CopyBuffers {
  StreamBuffer block;
  char* buffer[2] = {nullptr, nullptr};
  Helper* helper = nullptr;
  CopyBuffers() = default;
  CopyBuffers(const CopyBuffers&) = delete;
  CopyBuffers& operator=(const CopyBuffers&) = delete;
  ~CopyBuffers();
};

// Gets the buffers, and for `hashing` the helper thread. Returns false, with the failure
// recorded, when the memory cannot be had.
bool GetCopyBuffers(WorkContext* work, bool hashing, CopyBuffers* buffers);

// One end of a copy: an open file, and the name that a failed read or write of it is blamed on
// (empty for none).
struct CopyEnd {
  FileHandle file;
  std::string name;
};

// Opens the file `name`, copies the whole of it to `to` at its current position (adding it to
// `hash` unless that is null) and closes it again, storing its size in `size`. Its size must lie
// between `least` and `most`: one that does not (the file changed since it was looked up) fails
// with kSetChanged. Every failure but the output's names the file.
bool CopyWholeFile(WorkContext* work, CopyBuffers* buffers, const FilePath& name, uint64_t least,
                   uint64_t most, const CopyEnd& to, Sha256* hash, uint64_t* size);

// Copies the next `count` bytes of `from` to `to`, at their current positions, adding them to
// `hash` unless it is null, asking before every buffer whether to stop and counting every buffer
// as progress (core/progress.h). Stops at the first failed or short read or write. Returns true
// when all were copied; else false with the failure recorded (kStopped, or the system's error
// blamed on the end that failed).
bool CopyBytes(WorkContext* work, CopyBuffers* buffers, const CopyEnd& from, const CopyEnd& to,
               uint64_t count, Sha256* hash);
