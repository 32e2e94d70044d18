#include "core/output_file.h"

#include <cstring>
#include <new>

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
  const size_t size = std::strlen(path) + 4;
  replace->temp = new (std::nothrow) char[size];
  if (!replace->temp) return 0;
  replace->file = CreateTempBeside(path, replace->temp, size);
  if (replace->file != kNoFile) return 1;
  delete[] replace->temp;
  return 0;
}

int FinishAtomicReplace(const char* path, AtomicReplace* replace, int written) {
  // The bytes go to the disk before the name does: after a power cut the output's name shows
  // either the old file or the whole new one, never an empty or partial file.
  const int flushed = written && FlushFile(replace->file);
  CloseFile(replace->file);
  int ok = flushed && MoveOver(replace->temp, path);
  if (!ok) RemoveFile(replace->temp);
  delete[] replace->temp;
  return ok;
}

int ReplaceAtomically(const char* path, const char* bytes, uint32_t count) {
  AtomicReplace replace;
  if (!BeginAtomicReplace(path, &replace)) return 0;
  return FinishAtomicReplace(path, &replace, WriteBlock(replace.file, bytes, count));
}
