#include "core/whole_file.h"

#include "core/piece_name.h"
#include "platform/platform.h"

int WriteWholeFile(const char* path, const char* bytes, uint32_t count) {
  FileHandle file = CreateForWrite(path);
  if (file == kNoFile) return 0;
  const int written = WriteBlock(file, bytes, count);
  CloseFile(file);
  // A short file must not stay under the name; the result is 0 whether or not it goes.
  if (!written) RemoveFile(path);
  return written;
}

int WriteFileSafely(const char* path, const char* bytes, uint32_t count) {
  char temp[kPieceNameBytes];  // the path and three bytes, as long as its piece "-00"
  FileHandle file = CreateTempBeside(path, temp, sizeof temp);
  if (file == kNoFile) return 0;
  int ok = WriteBlock(file, bytes, count);
  CloseFile(file);
  if (ok) ok = MoveOver(temp, path);
  if (!ok) RemoveFile(temp);
  return ok;
}
