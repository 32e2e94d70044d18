#include "core/split.h"

#include "conv/random.h"
#include "core/limits.h"
#include "core/output_file.h"
#include "core/piece_name.h"
#include "core/progress.h"
#include "core/stream_copy.h"
#include "platform/platform.h"

namespace {

// How many pieces a source of `size` bytes gives: the size divided by the piece size, rounded
// up, and at least one, because an empty source gives one empty piece.
uint64_t PieceCount(uint64_t size, uint32_t step) {
  return size == 0 ? 1 : (size - 1) / step + 1;
}

// The bytes of piece `index`: the piece size, or what is left for the last one.
uint64_t PieceBytes(uint64_t size, uint32_t step, uint64_t index) {
  const uint64_t remaining = size - index * step;
  return remaining < step ? remaining : step;
}

// Draws the base number of the piece names: 0 to 99998.
int32_t DrawBaseNumber() {
  SeedRandom();
  return static_cast<int32_t>(RandomFraction() * 99999.0);
}

// Whether the pieces, which together hold exactly the source's bytes, fit in the current
// folder, where they go.
bool PiecesFit(int32_t base, uint64_t size) {
  char firstPiece[kPieceNameBytes];
  return FormatPieceName(firstPiece, base, 0) && FitsBeside(firstPiece, size);
}

// Writes every piece, each with one write, from the block that holds the whole source.
int WritePiecesFromBlock(int32_t base, const char* block, uint64_t size, uint32_t step) {
  const uint64_t count = PieceCount(size, step);
  for (uint64_t index = 0; index < count; ++index) {
    char name[kPieceNameBytes];
    const char* bytes = block + static_cast<size_t>(index * step);
    const uint32_t length = static_cast<uint32_t>(PieceBytes(size, step, index));
    if (!FormatPieceName(name, base, static_cast<uint32_t>(index)) ||
        !WriteWholeFile(name, bytes, length)) {
      return 0;
    }
  }
  return 1;
}

// Creates one piece and copies the next `bytes` bytes of the source into it.
int StreamPiece(FileHandle source, const char* name, uint64_t bytes, char* buffer) {
  const FileHandle piece = CreateForWrite(name);
  if (piece == kNoFile) return 0;
  return FinishPiece(name, piece, CopyBytes(source, piece, bytes, buffer));
}

// Copies the open source into its pieces in order, through one buffer. While the source is
// still being read, a piece must never be created under a name that is the source itself (it
// lies in the current folder and is named like the piece, or such a name links to it):
// creating the piece would empty the source first. Such a name ends the split with 0.
int StreamPieces(FileHandle source, int32_t base, uint64_t size, uint32_t step) {
  char* buffer = AllocStreamBuffer();
  if (!buffer) return 0;
  const uint64_t count = PieceCount(size, step);
  BeginProgress(size);
  int ok = 1;
  for (uint64_t index = 0; ok && index < count; ++index) {
    char name[kPieceNameBytes];
    ok = FormatPieceName(name, base, static_cast<uint32_t>(index)) && !IsSameFile(source, name) &&
         StreamPiece(source, name, PieceBytes(size, step, index), buffer);
  }
  FreeBlock(buffer);
  return ok;
}

// Splits the open source and closes it. Below 2 GiB, where the block can be had, the whole
// source is read with one call and closed before the first piece is written; otherwise it is
// streamed.
int SplitOpenSource(FileHandle source, int32_t base, uint64_t size, uint32_t step) {
  char* block = AllocWholeBlock(size);
  if (!block) {
    const int ok = StreamPieces(source, base, size, step);
    CloseFile(source);
    return ok;
  }
  int ok = ReadBlock(source, block, static_cast<uint32_t>(size));
  CloseFile(source);
  if (ok) ok = WritePiecesFromBlock(base, block, size, step);
  FreeBlock(block);
  return ok;
}

}  // namespace

int SplitFile(const char* sourcePath, int32_t pieceSize) {
  // A size of 0 would make no progress and write empty pieces without end.
  if (pieceSize == 0) return 0;
  // Exact by design (README, "Behaviour kept on purpose"): a negative size is a very large
  // unsigned one, the only way to ask for pieces of 2 GiB or more: 4095 MB is 0xFFF00000 bytes.
  const uint32_t step = static_cast<uint32_t>(pieceSize);

  const FileHandle source = OpenForRead(sourcePath);
  if (source == kNoFile) return 0;
  uint64_t size = 0;
  if (GetFileSize64(source, &size) && PieceCount(size, step) <= kMaxPieceCount) {
    const int32_t base = DrawBaseNumber();
    if (PiecesFit(base, size)) return SplitOpenSource(source, base, size, step);
  }
  CloseFile(source);
  return 0;
}
