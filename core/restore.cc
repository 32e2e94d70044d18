#include "core/restore.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "core/limits.h"
#include "core/output_file.h"
#include "core/piece_name.h"
#include "core/progress.h"
#include "core/stream_copy.h"
#include "platform/platform.h"

namespace {

// What the look-up of the names found: how many pieces, their total size, and a fingerprint
// of their sizes in order. The sizes themselves are not kept, because keeping them would cost
// memory for every piece; instead the reading pass builds the same summary from the sizes it
// meets, and the two must agree.
struct PieceSet {
  uint64_t count;
  uint64_t total;
  uint64_t fingerprint;
};

// Adds one piece's size to a summary. The fingerprint is a polynomial in an odd multiplier
// modulo 2^64, so pieces that trade bytes between them, leaving the total as it was, change it
// as well: always when two pieces trade, all but always when more do.
void AddPiece(PieceSet* set, uint64_t size) {
  set->count += 1;
  set->total += size;
  set->fingerprint = set->fingerprint * 0x9E3779B97F4A7C15u + size;
}

// Room for the names of the pieces of `baseText`, which may be a long path: on the heap, not
// the stack. Null when that memory cannot be had.
std::unique_ptr<char[]> NewPieceName(const char* baseText) {
  return std::unique_ptr<char[]>(new (std::nothrow) char[PieceNameBytes(baseText)]);
}

// Looks up base-00, base-01, ... up to the first name that does not exist, without opening
// any of them; the last index a piece can have ends the set too, as it ends a split. Returns 0
// when a name cannot be formed or looked up (a look-up that fails for another reason than a
// missing name must not pass for the end of the set), or there would be more bytes than 64
// bits count.
int FindPieces(const char* baseText, PieceSet* found) {
  *found = PieceSet{0, 0, 0};
  const std::unique_ptr<char[]> name = NewPieceName(baseText);
  if (!name) return 0;
  while (found->count < kMaxPieceCount) {
    if (!FormatPieceName(name.get(), baseText, static_cast<uint32_t>(found->count))) return 0;
    uint64_t size = 0;
    const NameLookup lookup = GetNameSize(name.get(), &size);
    if (lookup == NameLookup::kMissing) return 1;
    if (lookup != NameLookup::kFound || size > UINT64_MAX - found->total) return 0;
    AddPiece(found, size);
  }
  return 1;
}

// Where the reading pass puts the pieces: into one block of the whole join, or, with no block,
// copied on into the output file through a buffer.
struct Destination {
  char* block;
  FileHandle file;
  char* buffer;
};

// Reads one piece whole into its place after what `read` holds. Returns 0 when it cannot be
// opened or read whole, or when its size no longer fits in what the look-up found.
int ReadPiece(const char* name, const PieceSet& found, PieceSet* read, const Destination& to) {
  FileHandle piece = OpenForRead(name);
  if (piece == kNoFile) return 0;
  uint64_t size = 0;
  int ok = GetFileSize64(piece, &size) && size <= found.total - read->total;
  if (ok && to.block) {
    ok = ReadBlock(piece, to.block + static_cast<size_t>(read->total), static_cast<uint32_t>(size));
  } else if (ok) {
    ok = CopyBytes(piece, to.file, size, to.buffer);
  }
  CloseFile(piece);
  if (ok) AddPiece(read, size);
  return ok;
}

// Reads every piece found, in order. Returns 0 when a piece has gone, changed size or cannot
// be read whole.
int ReadPieces(const char* baseText, const PieceSet& found, const Destination& to) {
  PieceSet read = {0, 0, 0};
  const std::unique_ptr<char[]> name = NewPieceName(baseText);
  if (!name) return 0;
  while (read.count < found.count) {
    if (!FormatPieceName(name.get(), baseText, static_cast<uint32_t>(read.count))) return 0;
    if (!ReadPiece(name.get(), found, &read, to)) return 0;
  }
  return read.total == found.total && read.fingerprint == found.fingerprint;
}

// Copies the pieces one after the other into the temporary file beside the output, through
// one buffer, and puts it in the output's place once it is complete.
int RestoreStreamed(const char* baseText, const PieceSet& found) {
  char* buffer = AllocStreamBuffer();
  if (!buffer) return 0;
  AtomicReplace replace;
  int ok = BeginAtomicReplace(baseText, &replace);
  if (ok) {
    BeginProgress(found.total);
    const int read = ReadPieces(baseText, found, Destination{nullptr, replace.file, buffer});
    ok = FinishAtomicReplace(baseText, &replace, read);
  }
  FreeBlock(buffer);
  return ok;
}

}  // namespace

int RestoreFile(const char* baseText) {
  // Every piece name must fit its buffer; a longer base is no path the program can hold.
  if (std::strlen(baseText) > kMaxPathText) return 0;

  PieceSet found;
  // Without even piece 00 there is nothing to restore, and an existing file named like the
  // base must not be emptied.
  if (!FindPieces(baseText, &found) || found.count == 0) return 0;
  // The joined bytes are written beside the output before the old output goes.
  if (!FitsBeside(baseText, found.total)) return 0;

  // Below 2 GiB, where the block can be had, all pieces are read into one block of the exact
  // total and written with one call; otherwise they are streamed.
  char* block = AllocWholeBlock(found.total);
  if (!block) return RestoreStreamed(baseText, found);
  int ok = ReadPieces(baseText, found, Destination{block, kNoFile, nullptr});
  if (ok) ok = ReplaceAtomically(baseText, block, static_cast<uint32_t>(found.total));
  FreeBlock(block);
  return ok;
}
