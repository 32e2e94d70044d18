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

// Where the pieces' bytes come from: the block that holds the whole source, or, without one,
// the open source itself, copied on through a buffer. Either way the source stays open until
// the last piece is written, so that every piece name can be checked against it.
struct Origin {
  FileHandle source;
  const char* block;
  char* buffer;
};

// Creates one piece and fills it with its `bytes` bytes from `offset` of the source: from the
// block with one write, or copied from the source's current position.
int WritePiece(const Origin& from, const char* name, uint64_t offset, uint64_t bytes) {
  const FileHandle piece = CreateForWrite(name);
  if (piece == kNoFile) return 0;
  const int written = from.block ? WriteBlock(piece, from.block + static_cast<size_t>(offset),
                                              static_cast<uint32_t>(bytes))
                                 : CopyBytes(from.source, piece, bytes, from.buffer);
  return FinishPiece(name, piece, written);
}

// Writes the pieces in order. A piece is never created under a name that is the source itself
// (the source lies in the current folder and is named like the piece, or such a name links to
// it): creating the piece would empty the source, and with it the only copy of the bytes of
// the pieces after it. Such a name ends the split with 0, before that piece is created.
int WritePieces(const Origin& from, int32_t base, uint64_t size, uint32_t step) {
  const uint64_t count = PieceCount(size, step);
  for (uint64_t index = 0; index < count; ++index) {
    char name[kPieceNameBytes];
    if (!FormatPieceName(name, base, static_cast<uint32_t>(index)) ||
        IsSameFile(from.source, name) ||
        !WritePiece(from, name, index * step, PieceBytes(size, step, index))) {
      return 0;
    }
  }
  return 1;
}

// Splits the open source and closes it. Below 2 GiB, where the block can be had, the whole
// source is read with one call; otherwise it is streamed through one buffer.
int SplitOpenSource(FileHandle source, int32_t base, uint64_t size, uint32_t step) {
  Origin from = {source, nullptr, nullptr};
  char* block = AllocWholeBlock(size);
  int ok = 0;
  if (block) {
    from.block = block;
    ok = ReadBlock(source, block, static_cast<uint32_t>(size));
  } else {
    block = AllocStreamBuffer();
    from.buffer = block;
    ok = block != nullptr;
    if (ok) BeginProgress(size);
  }
  if (ok) ok = WritePieces(from, base, size, step);
  CloseFile(source);
  if (block) FreeBlock(block);
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
