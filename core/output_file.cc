#include "core/output_file.h"

bool FitsBeside(const char* path, uint64_t size) {
  uint64_t free = 0;
  return !FreeSpaceBeside(path, &free) || size <= free;
}

int FinishPiece(const char* name, FileHandle piece, int written) {
  CloseFile(piece);
  // A short file must not stay under the name; the result is 0 whether or not it goes.
  if (!written) RemoveFile(name);
  return written;
}

int BeginAtomicReplace(const char* path, AtomicReplace* replace) {
  replace->file = CreateTempBeside(path, replace->temp, sizeof replace->temp);
  return replace->file != kNoFile;
}

int FinishAtomicReplace(const char* path, AtomicReplace* replace, int written) {
  // The bytes go to the disk before the name does: after a power cut the output's name shows
  // either the old file or the whole new one, never an empty or partial file.
  const int flushed = written && FlushFile(replace->file);
  CloseFile(replace->file);
  int ok = flushed && MoveOver(replace->temp, path);
  if (!ok) RemoveFile(replace->temp);
  return ok;
}

int ReplaceAtomically(const char* path, const char* bytes, uint32_t count) {
  AtomicReplace replace;
  if (!BeginAtomicReplace(path, &replace)) return 0;
  return FinishAtomicReplace(path, &replace, WriteBlock(replace.file, bytes, count));
}
