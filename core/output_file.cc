#include "core/output_file.h"

#include "core/progress.h"
#include "core/work_context.h"

bool FitsBeside(const FilePath& path, uint64_t size) {
  uint64_t free = 0;
  return !FreeSpaceBeside(path.c_str(), &free) || size <= free;
}

bool RemoveMade(WorkContext* work, const FilePath& name) {
  if (RemoveFile(name.c_str())) return true;
  if (work->leftBehindCount++ == 0) work->leftBehind = name.value();
  return false;
}

bool BeginAtomicReplace(WorkContext* work, const FilePath& path, AtomicReplace* replace) {
  if (IsReadOnly(path.c_str())) return Fail(work, FailureKind::kReadOnly, path.value());
  // A folder, or a file that another program holds open, is found before anything is written.
  if (!CanReplace(path.c_str())) return FailSystem(work, path.value());
  RemoveLeftTemps(path.c_str());
  std::string temp;
  replace->file = CreateTempBeside(path.c_str(), &temp);
  replace->temp = FilePath(temp);
  return replace->file != kNoFile || FailSystem(work, path.value());
}

bool FinishAtomicReplace(WorkContext* work, const FilePath& path, AtomicReplace* replace,
                         bool written) {
  // The bytes go to the disk before the name does: after a power cut the output's name shows
  // either the old file or the whole new one, never an empty or partial file.
  bool ok = written && (FlushFile(replace->file) || FailSystem(work, path.value()));
  CloseFile(replace->file);
  // A stop asked for while the bytes went to the disk still leaves the old output in place.
  if (ok && StopRequested(work)) ok = Fail(work, FailureKind::kStopped);
  if (ok && !MoveOver(replace->temp.c_str(), path.c_str())) ok = FailSystem(work, path.value());
  if (!ok) RemoveMade(work, replace->temp);
  return ok;
}
