// What one split or restore gets from whoever runs it, and what it gives back: one value that
// the caller owns and hands to the engine (core/split.h, core/restore.h). core/ knows neither
// who the caller is nor on which thread it runs the work; it reports, asks and records only
// through this value.
#pragma once

#include <cstdint>
#include <string>

#include "core/failure.h"
#include "platform/platform.h"

// Hears that `done` bytes of `total` have been copied. Called on the thread of the work.
typedef void (*ProgressReport)(void* caller, uint64_t done, uint64_t total);
// Answers whether the work should stop now. Called on the thread of the work.
typedef bool (*StopCheck)(void* caller);

// The recovery pieces a split makes (core/recovery_make.h): none, one to three, or one for every
// ten pieces.
enum class RecoveryChoice { kNone, kOne, kTwo, kThree, kTenth };

struct WorkContext {
  // From the caller: who hears of the progress and who answers whether to stop (null for
  // nobody: no reports, never stop), and what both are handed.
  ProgressReport report = nullptr;
  StopCheck stopCheck = nullptr;
  void* caller = nullptr;
  RecoveryChoice recovery = RecoveryChoice::kNone;  // for a split
  // The platform calls the work makes (platform/platform.h): null for those in force on the
  // thread that runs it; a work on a thread of its own takes those of the thread that started it.
  const PlatformOps* platform = nullptr;

  // To the caller, once the work has returned.
  Failure failure;               // why it failed; kNone after a success
  std::string originalName;      // a restore from a checksum list: the name of the file once cut
  std::string leftBehind;        // the first file that a failed split could not remove again
  uint64_t leftBehindCount = 0;  // how many such files there are
  uint32_t recoveryMade = 0;     // a split: the recovery pieces it made
  bool recoveryRefused = false;  // a split asked for them: none made, the set is too large
  std::string repaired;          // a restore: the first piece it rebuilt
  uint64_t repairedCount = 0;    // how many it rebuilt

  // The engine's own count of the progress (core/progress.h).
  uint64_t done = 0;
  uint64_t total = 0;
  uint32_t lastReport = 0;
};

// For the engines: forgets what an earlier work gave back, as a new work starts.
void ClearResults(WorkContext* work);
// Records a failure of `kind`, concerning `file` if one is given, and returns false, so that a
// step can end with it. Only the first failure of a work is kept: what a cleanup that fails
// afterwards says is not the reason.
bool Fail(WorkContext* work, FailureKind kind, const std::string& file = std::string());
// Records `failure` as Fail does, and returns false.
bool Fail(WorkContext* work, const Failure& failure);
// Records the failure of the platform call just made (its error code, read at once) and the file
// it concerned, if any, and returns false.
bool FailSystem(WorkContext* work, const std::string& file = std::string());
