#include "core/split.h"

#include "conv/random.h"
#include "core/checksum_list.h"
#include "core/limits.h"
#include "core/output_file.h"
#include "core/piece_name.h"
#include "core/progress.h"
#include "core/stream_copy.h"
#include "core/work_context.h"
#include "platform/platform.h"

namespace {

// How many base numbers a split draws before it gives up finding one whose names are free.
constexpr int kMaxDraws = 1000;
// Piece lines are written to the checksum list once this many bytes of them are waiting.
constexpr size_t kListWriteBytes = 64 * 1024;

// Draws a base number from the generator: 0 to 99998.
int32_t DrawBaseNumber() {
  return static_cast<int32_t>(RandomFraction() * 99999.0);
}

enum class Names { kFree, kTaken, kFailed };

// Whether the names of a set of `count` pieces of `base` are all free: the checksum list, the
// output that a restore writes, and the pieces with the one after the last, so that a restore
// without the list does not run on into a piece of an older set. A name that cannot be looked
// up ends the split: it may be taken.
Names SetNames(WorkContext* work, int32_t base, uint64_t count) {
  const FilePath baseName(BaseNumberText(base));
  uint64_t size = 0;
  const auto lookUp = [&](const std::string& name) {
    if (StopRequested(work)) {
      Fail(work, FailureKind::kStopped);
      return Names::kFailed;
    }
    const NameLookup lookup = LookUpName(name.c_str(), &size);
    if (lookup == NameLookup::kMissing) return Names::kFree;
    if (lookup == NameLookup::kFound) return Names::kTaken;
    FailSystem(work, name);
    return Names::kFailed;
  };
  // The likeliest to be taken first: piece 00 of an older set of this base.
  Names names = lookUp(PieceName(base, 0));
  if (names == Names::kFree) names = lookUp(ListName(baseName).value());
  if (names == Names::kFree) names = lookUp(baseName.value());
  for (uint64_t index = 1; names == Names::kFree && index <= count && index < kMaxPieceCount;
       ++index) {
    names = lookUp(PieceName(base, static_cast<uint32_t>(index)));
  }
  return names;
}

// The base number of the set: the first draw after seeding the generator from the tick count,
// as every split has drawn it; while a name of its set is taken (an older set in the folder, or
// one cut within the same tick), the generator's next draw.
bool ChooseBase(WorkContext* work, uint64_t count, int32_t* base) {
  SeedRandom();
  for (int draw = 0; draw < kMaxDraws; ++draw) {
    *base = DrawBaseNumber();
    const Names names = SetNames(work, *base, count);
    if (names != Names::kTaken) return names == Names::kFree;
  }
  return Fail(work, FailureKind::kNoFreeName);
}

// A split at work: the open source, what it is cut into, and what has been made of it.
struct Split {
  WorkContext* work = nullptr;
  FileHandle source = kNoFile;
  SetHeader header = {};
  int32_t base = 0;
  CopyBuffers buffers;
  FileHandle list = kNoFile;
  FilePath listName;
  std::string waiting;  // piece lines not yet written to the list
  uint64_t made = 0;    // pieces created: 0 to made - 1, the last perhaps not whole
};

bool WriteWaitingLines(Split* split) {
  const bool ok =
      WriteBlock(split->list, split->waiting.data(), static_cast<uint32_t>(split->waiting.size()));
  split->waiting.clear();
  return ok || FailSystem(split->work, split->listName.value());
}

// Creates piece `index`, where no file of its name exists, and copies its bytes from the
// source's current position, hashing them on the way for its line in the list.
bool WritePiece(Split* split, uint64_t index) {
  const std::string name = PieceName(split->base, static_cast<uint32_t>(index));
  const FileHandle piece = CreateNew(name.c_str());
  if (piece == kNoFile) return FailSystem(split->work, name);
  split->made = index + 1;
  Sha256 hash;
  Sha256Begin(&hash);
  const uint64_t bytes = PieceBytes(split->header.size, split->header.step, index);
  const bool copied = CopyBytes(split->work, &split->buffers, CopyEnd{split->source, std::string()},
                                CopyEnd{piece, name}, bytes, &hash);
  CloseFile(piece);
  if (!copied) return false;
  unsigned char digest[kSha256Bytes];
  Sha256End(&hash, digest);
  split->waiting += PieceLine(digest, name);
  return split->waiting.size() < kListWriteBytes || WriteWaitingLines(split);
}

// Writes the list's first line and then the pieces in order, asking before each whether to
// stop, and the remaining lines of the list.
bool WriteSet(Split* split) {
  const std::string header = HeaderLine(split->header);
  if (!WriteBlock(split->list, header.data(), static_cast<uint32_t>(header.size()))) {
    return FailSystem(split->work, split->listName.value());
  }
  for (uint64_t index = 0; index < split->header.count; ++index) {
    if (StopRequested(split->work)) return Fail(split->work, FailureKind::kStopped);
    if (!WritePiece(split, index)) return false;
  }
  return WriteWaitingLines(split);
}

// After a failure or a stop: removes every file this split created, and nothing else. The list
// goes last, and only when every piece has gone: a piece that another program holds open stays,
// and with it the list, whose missing lines tell a restore that the set is not whole.
void RemoveSet(Split* split) {
  bool piecesGone = true;
  for (uint64_t index = 0; index < split->made; ++index) {
    const FilePath piece(PieceName(split->base, static_cast<uint32_t>(index)));
    piecesGone &= RemoveMade(split->work, piece);
  }
  if (piecesGone) RemoveMade(split->work, split->listName);
}

bool SplitOpenSource(WorkContext* work, const char* sourcePath, FileHandle source, uint32_t step) {
  Split split;
  split.work = work;
  split.source = source;
  split.header = SetHeader{FilePath(sourcePath).BaseName(), 0, step, 0};
  if (!QueryFileSize(source, &split.header.size)) return FailSystem(work);
  split.header.count = PieceCount(split.header.size, step);
  if (split.header.count > kMaxPieceCount) return Fail(work, FailureKind::kTooManyPieces);
  if (!ChooseBase(work, split.header.count, &split.base)) return false;
  split.listName = ListName(FilePath(BaseNumberText(split.base)));
  // The pieces hold exactly the source's bytes, and the list a line for each, in the current
  // folder.
  const std::string lastPiece =
      PieceName(split.base, static_cast<uint32_t>(split.header.count - 1));
  const uint64_t listBytes = HeaderLine(split.header).size() +
                             split.header.count * (2 * kSha256Bytes + 3 + lastPiece.size());
  if (split.header.size > UINT64_MAX - listBytes ||
      !FitsBeside(FilePath(PieceName(split.base, 0)), split.header.size + listBytes)) {
    return Fail(work, FailureKind::kNoRoom);
  }
  if (!GetCopyBuffers(work, true, &split.buffers)) return false;
  // The list comes first, so that no set is ever without it, and whole only at the end.
  split.list = CreateNew(split.listName.c_str());
  if (split.list == kNoFile) return FailSystem(work, split.listName.value());
  BeginProgress(work, split.header.size);
  const bool ok = WriteSet(&split);
  CloseFile(split.list);
  if (!ok) RemoveSet(&split);
  return ok;
}

}  // namespace

int SplitFile(const char* sourcePath, uint32_t pieceSize, WorkContext* work) {
  ClearResults(work);
  // A size of 0 would make no progress and write empty pieces without end.
  if (pieceSize == 0) return Fail(work, FailureKind::kNoPieceSize);
  const FileHandle source = OpenForRead(sourcePath);
  if (source == kNoFile) return FailSystem(work);
  const bool ok = SplitOpenSource(work, sourcePath, source, pieceSize);
  CloseFile(source);
  return ok ? 1 : 0;
}

int SplitFile(const char* sourcePath, uint32_t pieceSize) {
  WorkContext work;
  return SplitFile(sourcePath, pieceSize, &work);
}
