#include "core/restore.h"

#include <cstdint>
#include <cstring>

#include "core/limits.h"
#include "core/piece_name.h"
#include "core/whole_file.h"
#include "platform/platform.h"

namespace {

// What the look-up of the names found: how many pieces, their total size, and a fingerprint
// of their sizes in order. The sizes themselves are not kept, because keeping them would cost
// memory for every piece; instead the reading pass builds the same summary from the sizes it
// meets, and the two must agree.
struct PieceSet {
  uint32_t count;
  uint32_t total;
  uint64_t fingerprint;
};

// Adds one piece's size to a summary. The fingerprint is a polynomial in an odd multiplier
// modulo 2^64, so pieces that trade bytes between them, leaving the total as it was, change it
// as well: always when two pieces trade, all but always when more do.
void AddPiece(PieceSet* set, uint32_t size) {
  set->count += 1;
  set->total += size;
  set->fingerprint = set->fingerprint * 0x9E3779B97F4A7C15u + size;
}

// Looks up base-00, base-01, ... up to the first name that does not exist, without opening
// any of them. Returns 0 when a name cannot be formed or the total would reach 2 GiB.
int FindPieces(const char* baseText, PieceSet* found) {
  *found = PieceSet{0, 0, 0};
  for (;;) {
    char name[kPieceNameBytes];
    if (!FormatPieceName(name, baseText, found->count)) return 0;
    uint32_t low = 0;
    uint32_t high = 0;
    if (!GetNameSize(name, &low, &high)) return 1;
    if (high != 0 || low > kMaxFileBytes - found->total) return 0;
    AddPiece(found, low);
  }
}

// Reads one piece whole into its place at the end of what `read` holds. Returns 0 when it
// cannot be opened or read whole, or when its size no longer fits in the block.
int ReadPiece(const char* name, char* block, const PieceSet& found, PieceSet* read) {
  FileHandle piece = OpenForRead(name);
  if (piece == kNoFile) return 0;
  uint32_t low = 0;
  uint32_t high = 0;
  const int ok = GetFileSize32(piece, &low, &high) && high == 0 &&
                 low <= found.total - read->total && ReadBlock(piece, block + read->total, low);
  CloseFile(piece);
  if (ok) AddPiece(read, low);
  return ok;
}

// Reads every piece found into one block of their total size. Returns 0 when a piece has
// gone, changed size or cannot be read whole.
int ReadPieces(const char* baseText, const PieceSet& found, char* block) {
  PieceSet read = {0, 0, 0};
  while (read.count < found.count) {
    char name[kPieceNameBytes];
    if (!FormatPieceName(name, baseText, read.count)) return 0;
    if (!ReadPiece(name, block, found, &read)) return 0;
  }
  return read.total == found.total && read.fingerprint == found.fingerprint;
}

}  // namespace

int RestoreFile(const char* baseText) {
  // Every piece name must fit its buffer; a longer base is no path the program can hold.
  if (std::strlen(baseText) > kMaxPathText) return 0;

  PieceSet found;
  // Without even piece 00 there is nothing to restore, and an existing file named like the
  // base must not be emptied.
  if (!FindPieces(baseText, &found) || found.count == 0) return 0;

  char* block = static_cast<char*>(AllocBlock(found.total));
  if (!block) return 0;
  int ok = ReadPieces(baseText, found, block);
  if (ok) ok = WriteFileSafely(baseText, block, found.total);
  FreeBlock(block);
  return ok;
}
