// Why a split or restore failed, as the engines record it in the work's context
// (core/work_context.h, with Fail and FailSystem) for whoever shows the result. core/ names the
// cause and the file at fault; turning that into words for a person is left to the caller.
#pragma once

#include <cstdint>
#include <string>

enum class FailureKind {
  kNone,            // the work succeeded
  kStopped,         // the caller asked the work to stop, and it did, undoing what it had made
  kSystem,          // a file operation failed: `error` holds the system's code for why
  kNoMemory,        // the copy buffers could not be had
  kNoRoom,          // the free space of the folder is known to be too small for the bytes
  kTooManyPieces,   // more pieces (or bytes) than a set can hold
  kNoPieceSize,     // a piece size of 0, which would make no progress
  kSetChanged,      // the pieces or their list changed between the look-up and the reading
  kNoFreeName,      // every base number drawn for a split had a name of its set taken
  kPieceMissing,    // a piece of the set is missing, or shorter than its list says
  kPieceDamaged,    // a piece's bytes are not those its list names (or there are more)
  kListUnreadable,  // a set's checksum list cannot be read as one this program writes
  kReadOnly,        // the output is a file marked read-only, which a restore never replaces
  kSourceChanged,   // the source of a split was written while it was cut, or ended early
  kRecoveryShort,   // more pieces are lost than the usable recovery slices can rebuild
};

struct Failure {
  FailureKind kind = FailureKind::kNone;
  uint32_t error = 0;  // for kSystem: the platform's error code (GetLastError, errno)
  std::string file;    // the file at fault (a piece, a checksum list), where one is; else empty
  uint64_t count = 0;  // for kRecoveryShort: how many more recovery slices a repair needs
};
