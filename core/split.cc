#include "core/split.h"

#include "conv/random.h"
#include "core/failure.h"
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

// The open source and what is made of it. The source stays open until the last piece is
// written, so that every piece name can be checked against it.
struct Split {
  FileHandle source;
  uint64_t size;
  uint32_t step;
  int32_t base;
  char* buffer;
};

// Creates piece `index` and copies its bytes from the source's current position. A piece is
// never created under a name that is the source itself (the source lies in the current folder
// and is named like the piece, or such a name links to it): creating the piece would empty the
// source, and with it the only copy of the bytes of the pieces after it.
bool WritePiece(const Split& split, uint64_t index) {
  const std::string name = PieceName(split.base, static_cast<uint32_t>(index));
  if (IsSameFile(split.source, name.c_str())) return Fail(FailureKind::kPieceIsSource);
  const FileHandle piece = CreateForWrite(name.c_str());
  if (piece == kNoFile) return FailSystem(name);
  const CopyResult copied =
      CopyBytes(split.source, piece, PieceBytes(split.size, split.step, index), split.buffer);
  if (copied == CopyResult::kStopped) Fail(FailureKind::kStopped);
  if (copied == CopyResult::kReadFailed) FailSystem();
  if (copied == CopyResult::kWriteFailed) FailSystem(name);
  return FinishPiece(name, piece, copied == CopyResult::kDone);
}

// Deletes the pieces 0 to `count` - 1 of `base`.
void RemovePieces(int32_t base, uint64_t count) {
  for (uint64_t index = 0; index < count; ++index) {
    RemoveFile(PieceName(base, static_cast<uint32_t>(index)).c_str());
  }
}

// Writes the pieces in order, asking before each whether to stop.
bool WritePieces(const Split& split) {
  const uint64_t count = PieceCount(split.size, split.step);
  for (uint64_t done = 0; done < count; ++done) {
    const bool ok = StopRequested() ? Fail(FailureKind::kStopped) : WritePiece(split, done);
    if (ok) continue;
    // On a stop every piece of this split goes again, as if it had never started; on a failure
    // the complete pieces before it stay, as a record of how far it came.
    if (LastFailure().kind == FailureKind::kStopped) RemovePieces(split.base, done);
    return false;
  }
  return true;
}

bool SplitOpenSource(FileHandle source, uint32_t step) {
  Split split = {source, 0, step, 0, nullptr};
  if (!QueryFileSize(source, &split.size)) return FailSystem();
  if (PieceCount(split.size, step) > kMaxPieceCount) return Fail(FailureKind::kTooManyPieces);
  split.base = DrawBaseNumber();
  // The pieces hold exactly the source's bytes, in the current folder.
  if (!FitsBeside(PieceName(split.base, 0), split.size)) return Fail(FailureKind::kNoRoom);
  const StreamBuffer buffer = NewStreamBuffer();
  if (!buffer) return Fail(FailureKind::kNoMemory);
  split.buffer = buffer.get();
  BeginProgress(split.size);
  return WritePieces(split);
}

}  // namespace

int SplitFile(const char* sourcePath, int32_t pieceSize) {
  ClearFailure();
  // A size of 0 would make no progress and write empty pieces without end.
  if (pieceSize == 0) return Fail(FailureKind::kTooManyPieces);
  // Exact by design (README, "Behaviour kept on purpose"): a negative size is a very large
  // unsigned one, the only way to ask for pieces of 2 GiB or more: 4095 MB is 0xFFF00000 bytes.
  const uint32_t step = static_cast<uint32_t>(pieceSize);

  const FileHandle source = OpenForRead(sourcePath);
  if (source == kNoFile) return FailSystem();
  const bool ok = SplitOpenSource(source, step);
  CloseFile(source);
  return ok ? 1 : 0;
}
