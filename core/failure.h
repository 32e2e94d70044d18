// Why the last split or restore failed, kept as errno keeps the reason of a failed call: the
// engines record it, whoever shows the result reads it. core/ names the cause and the piece at
// fault; turning that into words for a person is left to the caller.
#pragma once

#include <cstdint>
#include <string>

enum class FailureKind {
  kNone,           // the last work succeeded
  kStopped,        // the caller asked the work to stop, and it did, undoing what it had made
  kSystem,         // a file operation failed: `error` holds the system's code for why
  kNoMemory,       // the copy buffer could not be had
  kNoRoom,         // the free space of the folder is known to be too small for the bytes
  kPieceIsSource,  // a piece would be written over the source itself
  kTooManyPieces,  // more pieces (or bytes) than a set can hold, or a piece size of 0
  kSetChanged,     // the pieces changed between the look-up and the reading
};

struct Failure {
  FailureKind kind = FailureKind::kNone;
  uint32_t error = 0;  // for kSystem: the platform's error code (GetLastError, errno)
  std::string piece;   // the piece at fault, where one is; empty otherwise
};

// The failure of the last SplitFile or RestoreFile; kNone after a success.
const Failure& LastFailure();

// For the engines: forget the last failure, as a new work starts.
void ClearFailure();
// Records a failure of `kind` and returns false, so that a step can end with it. Only the first
// failure of a work is kept: what a cleanup that fails afterwards says is not the reason.
bool Fail(FailureKind kind);
// Records the failure of the platform call just made (its error code, read at once) and the
// piece it concerned, if any, and returns false.
bool FailSystem(const std::string& piece = std::string());
