#include "core/split.h"

#include <vector>

#include "conv/random.h"
#include "core/limits.h"
#include "core/output_file.h"
#include "core/progress.h"
#include "core/recovery_make.h"
#include "core/split_recovery.h"
#include "core/split_set.h"

namespace {

// Writes the set under the drawn base: the list first, so that no set is ever without it, then
// the pieces and the recovery files, and the list whole only at the end.
Outcome WriteSet(Split* split) {
  const Outcome list = CreateMember(split, MemberKind::kList, &split->list);
  if (list != Outcome::kMade) return list;
  const bool recovery = split->recoveryCount > 0;
  const bool onePass = recovery && split->header.count <= kPiecesOpenAtOnce;
  // A set cut first and read again for its recovery slices counts the source's bytes twice.
  BeginProgress(split->work, split->header.size * (recovery && !onePass ? 2 : 1));
  Outcome outcome = onePass ? WriteProtectedSet(split) : WritePieces(split);
  if (outcome == Outcome::kMade && recovery && !onePass) outcome = WriteRecovery(split);
  CloseFile(split->list);
  return outcome;
}

// How many base numbers a split draws before it gives up finding one whose names are free.
constexpr int kMaxDraws = 1000;
// Base numbers are drawn from 0 to 99998.
constexpr int32_t kBaseNumbers = 99999;

// Draws a base number from the generator: 0 to 99998.
int32_t DrawBaseNumber() {
  return static_cast<int32_t>(RandomFraction() * 99999.0);
}

// The base numbers whose set has a name taken, from one listing of the folder.
struct TakenBases {
  uint64_t count;           // the pieces of the new set
  std::vector<bool> taken;  // by base number
};

// Marks the base number of a name of its set: the checksum list, the output that a restore
// writes, the recovery files, and the pieces up to the one after the new set's last, so that a
// restore without the list does not run on into a piece of an older set. The base number is the
// name's leading digits, without a leading zero.
bool MarkTakenBase(void* data, const char* name) {
  auto* bases = static_cast<TakenBases*>(data);
  int32_t base = 0;
  size_t digits = 0;
  for (; digits < 6 && name[digits] >= '0' && name[digits] <= '9'; ++digits) {
    base = base * 10 + (name[digits] - '0');
  }
  if (digits == 0 || (digits > 1 && name[0] == '0') || base >= kBaseNumbers) return true;
  const SetMember member = MemberOfSet(name, std::string_view(name, digits));
  if (member.kind == MemberKind::kPiece ? member.index <= bases->count
                                        : member.kind != MemberKind::kNone) {
    bases->taken[static_cast<size_t>(base)] = true;
  }
  return true;
}

// The names of a set lie in the current folder, so this takes one listing of it, however many
// pieces there are. A folder that cannot be listed ends the split: any name may be taken.
bool FindTakenBases(WorkContext* work, uint64_t count, TakenBases* bases) {
  bases->count = count;
  bases->taken.assign(kBaseNumbers, false);
  return ListBeside(PieceName(0, 0).c_str(), MarkTakenBase, bases) || FailSystem(work);
}

// The source's size and last-write time, and the set it gives: the pieces, and the recovery
// pieces asked for (none for a set that the PAR 2.0 format cannot hold, which is said).
bool MeasureSource(Split* split, uint32_t step) {
  WorkContext* work = split->work;
  if (!QueryFileState(split->source, &split->state)) return FailSystem(work, split->sourceName);
  const uint64_t size = split->state.size;
  split->header =
      SetHeader{FilePath(split->sourceName).BaseName(), size, step, PieceCount(size, step)};
  if (split->header.count > kMaxPieceCount) return Fail(work, FailureKind::kTooManyPieces);
  split->recoveryCount = RecoveryCount(work->recovery, split->header.count, size);
  work->recoveryRefused =
      work->recovery != RecoveryChoice::kNone && size > 0 && split->recoveryCount == 0;
  return true;
}

// Whether the pieces, their list and their recovery files fit in the free space of the current
// folder, whatever base they get: the names are counted with the longest a base can give.
bool SetFits(const Split& split) {
  const SetHeader& header = split.header;
  const FilePath longest(PieceName(kBaseNumbers - 1, static_cast<uint32_t>(header.count - 1)));
  uint64_t bytes =
      HeaderLine(header).size() + header.count * (2 * kSha256Bytes + 3 + longest.value().size());
  if (split.recoveryCount > 0) {
    bytes += RecoveryBytes(PlanRecovery(header, kBaseNumbers - 1, split.recoveryCount));
  }
  return header.size <= UINT64_MAX - bytes && FitsBeside(longest, header.size + bytes);
}

// Writes the set under the first draw after seeding the generator from the tick count, as every
// split has drawn it; while a name of its set is taken, under the generator's next draw.
bool WriteUnderAFreeBase(Split* split, TakenBases* bases) {
  WorkContext* work = split->work;
  SeedRandom();
  for (int draw = 0; draw < kMaxDraws; ++draw) {
    const int32_t base = DrawBaseNumber();
    if (bases->taken[static_cast<size_t>(base)]) continue;
    split->baseNumber = base;
    split->base = FilePath(BaseNumberText(base));
    const Outcome outcome = WriteSet(split);
    if (outcome == Outcome::kMade) {
      work->recoveryMade = split->recoveryCount;
      return true;
    }
    // A failure or a stop, or a name that another program took since the listing: what this
    // draw made goes. For the latter, the next draw cuts the source again from its start.
    if (!RemoveSet(split) || outcome == Outcome::kFailed) return Fail(work, split->taken);
    bases->taken[static_cast<size_t>(base)] = true;
    split->waiting.clear();
    if (!RewindFile(split->source)) return FailSystem(work, split->sourceName);
  }
  return Fail(work, FailureKind::kNoFreeName);
}

}  // namespace

int SplitFile(const char* sourcePath, uint32_t pieceSize, WorkContext* work) {
  const PlatformOpsScope calls(work->platform);
  ClearResults(work);
  // A size of 0 would make no progress and write empty pieces without end.
  if (pieceSize == 0) return Fail(work, FailureKind::kNoPieceSize);
  Split split;
  split.work = work;
  split.sourceName = sourcePath;
  split.source = OpenForRead(sourcePath);
  if (split.source == kNoFile) return FailSystem(work);
  // The free space first, then one listing of the folder: neither takes longer for more pieces.
  TakenBases bases = {0, {}};
  const bool ok =
      MeasureSource(&split, pieceSize) && (SetFits(split) || Fail(work, FailureKind::kNoRoom)) &&
      FindTakenBases(work, split.header.count, &bases) && WriteUnderAFreeBase(&split, &bases);
  CloseFile(split.source);
  return ok ? 1 : 0;
}

int SplitFile(const char* sourcePath, uint32_t pieceSize) {
  WorkContext work;
  return SplitFile(sourcePath, pieceSize, &work);
}
