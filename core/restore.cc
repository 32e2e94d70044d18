#include "core/restore.h"

#include <cstdint>
#include <cstring>

#include "core/limits.h"
#include "core/piece_name.h"
#include "core/whole_file.h"
#include "platform/platform.h"

namespace {

// The pieces read so far, back to back. The block grows geometrically so that joining many
// small pieces copies the data a bounded number of times in all.
struct JoinedBlock {
  char* bytes;
  uint32_t total;
  uint32_t capacity;
};

// Makes room for `needed` bytes in all. Returns 0 when the heap refuses, leaving the block as
// it was.
int Reserve(JoinedBlock* joined, uint32_t needed) {
  if (needed <= joined->capacity) return 1;
  const uint32_t doubled =
      joined->capacity > kMaxFileBytes / 2 ? kMaxFileBytes : joined->capacity * 2;
  uint32_t want = doubled > needed ? doubled : needed;
  void* grown = GrowBlock(joined->bytes, want);
  if (!grown && want != needed) {
    // Near the memory limit the doubled size may not fit where the exact one does.
    want = needed;
    grown = GrowBlock(joined->bytes, want);
  }
  if (!grown) return 0;
  joined->bytes = static_cast<char*>(grown);
  joined->capacity = want;
  return 1;
}

// Appends the whole of one piece. Returns 0, with the block's contents as they were, when the
// piece cannot be opened or read whole or would take the total to 2 GiB.
int AppendPiece(JoinedBlock* joined, const char* name) {
  FileHandle piece = OpenForRead(name);
  if (piece == kNoFile) return 0;
  uint32_t low = 0;
  uint32_t high = 0;
  int ok = GetFileSize32(piece, &low, &high) && high == 0 && low <= kMaxFileBytes - joined->total &&
           Reserve(joined, joined->total + low) &&
           ReadBlock(piece, joined->bytes + joined->total, low);
  CloseFile(piece);
  if (ok) joined->total += low;
  return ok;
}

}  // namespace

int RestoreFile(const char* baseText) {
  // Every piece name must fit its buffer; a longer base is no path the program can hold.
  if (std::strlen(baseText) > kMaxPathText) return 0;

  JoinedBlock joined = {static_cast<char*>(AllocBlock(1)), 0, 1};
  if (!joined.bytes) return 0;

  int ok = 1;
  uint32_t index = 0;
  for (;; ++index) {
    char name[kPieceNameBytes];
    if (!FormatPieceName(name, baseText, index)) {
      ok = 0;
      break;
    }
    if (!NameExists(name)) break;
    if (!AppendPiece(&joined, name)) {
      ok = 0;
      break;
    }
  }
  // Without even piece 00 there is nothing to restore, and an existing file named like the
  // base must not be emptied.
  if (ok && index > 0) {
    ok = WriteFileSafely(baseText, joined.bytes, joined.total);
  } else {
    ok = 0;
  }
  FreeBlock(joined.bytes);
  return ok;
}
