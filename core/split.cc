#include "core/split.h"

#include <vector>

#include "conv/random.h"
#include "core/checksum_list.h"
#include "core/limits.h"
#include "core/output_file.h"
#include "core/piece_name.h"
#include "core/progress.h"
#include "core/recovery_make.h"
#include "core/recovery_pass.h"
#include "core/stream_copy.h"
#include "core/work_context.h"
#include "platform/platform.h"

namespace {

// How many base numbers a split draws before it gives up finding one whose names are free.
constexpr int kMaxDraws = 1000;
// Base numbers are drawn from 0 to 99998.
constexpr int32_t kBaseNumbers = 99999;
// Piece lines are written to the checksum list once this many bytes of them are waiting.
constexpr size_t kListWriteBytes = 64 * 1024;
// A set with recovery pieces of at most this many pieces is cut in one pass over the source,
// every piece open at once and written a stripe at a time while the recovery slices are made;
// a larger one is cut first and read once more for its recovery slices.
constexpr uint64_t kPiecesOpenAtOnce = 256;
// The kinds of file a split makes: the list first, then the pieces.
constexpr MemberKind kMadeKinds[] = {MemberKind::kList, MemberKind::kPiece};

// Draws a base number from the generator: 0 to 99998.
int32_t DrawBaseNumber() {
  return static_cast<int32_t>(RandomFraction() * 99999.0);
}

// ---- The base numbers whose set has a name taken, from one listing of the folder ----

struct TakenBases {
  uint64_t count;           // the pieces of the new set
  std::vector<bool> taken;  // by base number
};

// Marks the base number of a name of its set: the checksum list, the output that a restore
// writes, and the pieces up to the one after the new set's last, so that a restore without the
// list does not run on into a piece of an older set. The base number is the name's leading
// digits, without a leading zero.
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
bool FindTakenBases(WorkContext* work, TakenBases* bases) {
  bases->taken.assign(kBaseNumbers, false);
  return ListBeside(PieceName(0, 0).c_str(), MarkTakenBase, bases) || FailSystem(work);
}

// Whether the pieces, their list and their recovery files fit in the free space of the current
// folder, whatever base they get: the names are counted with the longest a base can give.
bool SetFits(const SetHeader& header, uint32_t recoveryCount) {
  const FilePath longest(PieceName(kBaseNumbers - 1, static_cast<uint32_t>(header.count - 1)));
  uint64_t bytes =
      HeaderLine(header).size() + header.count * (2 * kSha256Bytes + 3 + longest.value().size());
  if (recoveryCount > 0) {
    bytes += RecoveryBytes(PlanRecovery(header, kBaseNumbers - 1, recoveryCount));
  }
  return header.size <= UINT64_MAX - bytes && FitsBeside(longest, header.size + bytes);
}

// ---- A set under one drawn base ----

// A split at work: the open source, what it is cut into, and what has been made of it.
struct Split {
  WorkContext* work = nullptr;
  FileHandle source = kNoFile;
  std::string sourceName;  // to blame a change or a failed read on
  FileState state;         // the source's size and last-write time at the start
  SetHeader header = {};
  int32_t baseNumber = 0;                // the drawn base number
  FilePath base;                         // its text
  uint64_t made[kMemberKindCount] = {};  // files made of each kind, in index order
  Failure taken;                         // a name found taken on creation, and why
  CopyBuffers buffers;
  FileHandle list = kNoFile;
  std::string waiting;                 // piece lines not yet written to the list
  uint32_t recoveryCount = 0;          // recovery slices to make
  std::vector<FilePath> recoveryMade;  // recovery files made
};

// What creating a file of the set, or the whole set, came to.
enum class Outcome { kMade, kTaken, kFailed };

FilePath MadeName(const Split& split, MemberKind kind, uint64_t index) {
  return SetMemberName(split.base, SetMember{kind, index});
}

// The one place where a split creates a file of its set: the next one of `kind` (each kind's
// files are made in index order), only where no file of its name exists. A name that another
// program took since the look-up is kTaken, and no failure.
Outcome CreateMember(Split* split, MemberKind kind, FileHandle* file) {
  uint64_t& made = split->made[static_cast<int>(kind)];
  const FilePath name = MadeName(*split, kind, made);
  *file = CreateNew(name.c_str());
  if (*file != kNoFile) {
    ++made;
    return Outcome::kMade;
  }
  if (NameTaken(LastError(), name.c_str())) {
    split->taken = Failure{FailureKind::kSystem, LastError(), name.value()};
    return Outcome::kTaken;
  }
  FailSystem(split->work, name.value());
  return Outcome::kFailed;
}

// The same for a recovery file, whose name the set's layout gives.
Outcome CreateRecoveryFile(Split* split, const FilePath& name, FileHandle* file) {
  *file = CreateNew(name.c_str());
  if (*file != kNoFile) {
    split->recoveryMade.push_back(name);
    return Outcome::kMade;
  }
  if (NameTaken(LastError(), name.c_str())) {
    split->taken = Failure{FailureKind::kSystem, LastError(), name.value()};
    return Outcome::kTaken;
  }
  FailSystem(split->work, name.value());
  return Outcome::kFailed;
}

// The one place where a split removes the files of its set, after a failure, a stop or a name
// taken meanwhile: every file it made, and nothing else. The list goes last, and only when
// every other file has gone: a piece that another program holds open stays, and with it the
// list, whose missing lines tell a restore that the set is not whole. Returns whether all went.
bool RemoveSet(Split* split) {
  bool othersGone = true;
  for (const FilePath& name : split->recoveryMade) othersGone &= RemoveMade(split->work, name);
  split->recoveryMade.clear();
  for (const MemberKind kind : kMadeKinds) {
    if (kind == MemberKind::kList) continue;
    for (uint64_t index = 0; index < split->made[static_cast<int>(kind)]; ++index) {
      othersGone &= RemoveMade(split->work, MadeName(*split, kind, index));
    }
    split->made[static_cast<int>(kind)] = 0;
  }
  uint64_t& lists = split->made[static_cast<int>(MemberKind::kList)];
  const bool listGone =
      !othersGone || lists == 0 || RemoveMade(split->work, MadeName(*split, MemberKind::kList, 0));
  lists = 0;
  return othersGone && listGone;
}

Outcome Failed(bool) {
  return Outcome::kFailed;
}

bool WriteWaitingLines(Split* split) {
  const bool ok =
      WriteBlock(split->list, split->waiting.data(), static_cast<uint32_t>(split->waiting.size()));
  split->waiting.clear();
  return ok || FailSystem(split->work, MadeName(*split, MemberKind::kList, 0).value());
}

// Whether the source is as it was at the start: its size and last-write time. A source that
// changed fails the split, naming it.
bool SourceUnchanged(Split* split) {
  FileState now;
  if (!QueryFileState(split->source, &now)) return FailSystem(split->work, split->sourceName);
  return now == split->state || Fail(split->work, FailureKind::kSourceChanged, split->sourceName);
}

// After a read of the source failed: a source that changed meanwhile (one cut short ends before
// its last piece) is the reason, rather than the end of the file that the read met.
void BlameChangedSource(Split* split) {
  Failure& failure = split->work->failure;
  FileState now;
  if (failure.kind == FailureKind::kSystem && failure.file == split->sourceName &&
      QueryFileState(split->source, &now) && !(now == split->state)) {
    failure = Failure{FailureKind::kSourceChanged, 0, split->sourceName};
  }
}

// Creates the next piece and copies its bytes from the source's current position, hashing them
// on the way for its line in the list.
Outcome WritePiece(Split* split) {
  const uint64_t index = split->made[static_cast<int>(MemberKind::kPiece)];
  FileHandle piece = kNoFile;
  const Outcome created = CreateMember(split, MemberKind::kPiece, &piece);
  if (created != Outcome::kMade) return created;
  const std::string name = MadeName(*split, MemberKind::kPiece, index).value();
  Sha256 hash;
  Sha256Begin(&hash);
  const uint64_t bytes = PieceBytes(split->header.size, split->header.step, index);
  const bool copied =
      CopyBytes(split->work, &split->buffers, CopyEnd{split->source, split->sourceName},
                CopyEnd{piece, name}, bytes, &hash);
  CloseFile(piece);
  if (!copied) {
    BlameChangedSource(split);
    return Outcome::kFailed;
  }
  unsigned char digest[kSha256Bytes];
  Sha256End(&hash, digest);
  split->waiting += PieceLine(digest, name);
  const bool written = split->waiting.size() < kListWriteBytes || WriteWaitingLines(split);
  return written ? Outcome::kMade : Outcome::kFailed;
}

// Writes the list's first line and then the pieces in order, asking before each whether to
// stop; then, only where the source has not changed, the remaining lines of the list.
Outcome WritePieces(Split* split) {
  const std::string header = HeaderLine(split->header);
  if (!WriteBlock(split->list, header.data(), static_cast<uint32_t>(header.size()))) {
    return Failed(FailSystem(split->work, MadeName(*split, MemberKind::kList, 0).value()));
  }
  for (uint64_t index = 0; index < split->header.count; ++index) {
    if (StopRequested(split->work)) return Failed(Fail(split->work, FailureKind::kStopped));
    const Outcome piece = WritePiece(split);
    if (piece != Outcome::kMade) return piece;
  }
  const bool done = SourceUnchanged(split) && WriteWaitingLines(split);
  return done ? Outcome::kMade : Outcome::kFailed;
}

// ---- Recovery pieces ----

// Creates the recovery files of the set and names the set in the PAR 2.0 format, from the
// first bytes of every piece.
Outcome BeginRecovery(Split* split, RecoveryWriter* writer) {
  const int32_t base = split->baseNumber;
  writer->layout = PlanRecovery(split->header, base, split->recoveryCount);
  writer->names = RecoveryFileNames(split->base, writer->layout);
  for (const FilePath& name : writer->names) {
    FileHandle file = kNoFile;
    const Outcome created = CreateRecoveryFile(split, name, &file);
    if (created != Outcome::kMade) return created;
    writer->files.push_back(file);
  }
  const bool described =
      DescribeSet(split->work, split->source, split->sourceName, split->header, base, writer);
  return described ? Outcome::kMade : Outcome::kFailed;
}

// Runs the pass that makes the recovery slices, and writes the rest of the recovery files once
// the source is known to be as it was.
Outcome RunRecovery(Split* split, RecoveryWriter* writer, const RecoveryPass& pass) {
  if (!RunRecoveryPass(split->work, pass)) {
    BlameChangedSource(split);
    return Outcome::kFailed;
  }
  const bool done = SourceUnchanged(split) && FinishRecoveryFiles(split->work, writer);
  return done ? Outcome::kMade : Outcome::kFailed;
}

// The recovery files of a set already cut: the source is read once more.
Outcome WriteRecovery(Split* split) {
  RecoveryWriter writer;
  const Outcome begun = BeginRecovery(split, &writer);
  if (begun != Outcome::kMade) return begun;
  RecoveryPass pass;
  AddToPass(&writer, split->header, split->source, split->sourceName, &pass);
  return RunRecovery(split, &writer, pass);
}

// The pieces open at once, closed as they go.
struct OpenPieces {
  std::vector<FileHandle> files;
  ~OpenPieces() {
    for (const FileHandle file : files) CloseFile(file);
  }
};

// A set with recovery pieces cut in one pass: every piece is created first, then the pass reads
// the source a stripe of every piece at a time, writes each piece's stripe and hashes it for the
// list as for the recovery slices; the list's lines come last.
Outcome WriteProtectedSet(Split* split) {
  const std::string header = HeaderLine(split->header);
  if (!WriteBlock(split->list, header.data(), static_cast<uint32_t>(header.size()))) {
    return Failed(FailSystem(split->work, MadeName(*split, MemberKind::kList, 0).value()));
  }
  OpenPieces pieces;
  for (uint64_t index = 0; index < split->header.count; ++index) {
    FileHandle piece = kNoFile;
    const Outcome created = CreateMember(split, MemberKind::kPiece, &piece);
    if (created != Outcome::kMade) return created;
    pieces.files.push_back(piece);
  }
  RecoveryWriter writer;
  const Outcome begun = BeginRecovery(split, &writer);
  if (begun != Outcome::kMade) return begun;
  RecoveryPass pass;
  AddToPass(&writer, split->header, split->source, split->sourceName, &pass);
  std::vector<Sha256> hashes(split->header.count);
  for (uint64_t index = 0; index < split->header.count; ++index) {
    PassInput& input = pass.inputs[index];
    input.copyTo = pieces.files[index];
    input.copyName = MadeName(*split, MemberKind::kPiece, index).value();
    Sha256Begin(&hashes[index]);
    input.sha = &hashes[index];
  }
  const Outcome made = RunRecovery(split, &writer, pass);
  if (made != Outcome::kMade) return made;
  for (uint64_t index = 0; index < split->header.count; ++index) {
    unsigned char digest[kSha256Bytes];
    Sha256End(&hashes[index], digest);
    split->waiting += PieceLine(digest, MadeName(*split, MemberKind::kPiece, index).value());
  }
  return WriteWaitingLines(split) ? Outcome::kMade : Outcome::kFailed;
}

// The list comes first, so that no set is ever without it, and whole only at the end.
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

bool SplitOpenSource(WorkContext* work, const char* sourcePath, FileHandle source, uint32_t step) {
  Split split;
  split.work = work;
  split.source = source;
  split.sourceName = sourcePath;
  if (!QueryFileState(source, &split.state)) return FailSystem(work, split.sourceName);
  const uint64_t size = split.state.size;
  split.header = SetHeader{FilePath(sourcePath).BaseName(), size, step, PieceCount(size, step)};
  if (split.header.count > kMaxPieceCount) return Fail(work, FailureKind::kTooManyPieces);
  // The free space first, then one listing of the folder: neither takes longer for more pieces.
  split.recoveryCount = RecoveryCount(work->recovery, split.header.count, size);
  work->recoveryRefused =
      work->recovery != RecoveryChoice::kNone && size > 0 && split.recoveryCount == 0;
  if (!SetFits(split.header, split.recoveryCount)) return Fail(work, FailureKind::kNoRoom);
  TakenBases bases = {split.header.count, {}};
  if (!FindTakenBases(work, &bases) || !GetCopyBuffers(work, true, &split.buffers)) return false;
  // The first draw after seeding the generator from the tick count, as every split has drawn
  // it; while a name of its set is taken, the generator's next draw.
  SeedRandom();
  for (int draw = 0; draw < kMaxDraws; ++draw) {
    const int32_t base = DrawBaseNumber();
    if (bases.taken[static_cast<size_t>(base)]) continue;
    split.baseNumber = base;
    split.base = FilePath(BaseNumberText(base));
    const Outcome outcome = WriteSet(&split);
    if (outcome == Outcome::kMade) {
      work->recoveryMade = split.recoveryCount;
      return true;
    }
    // A failure or a stop, or a name that another program took since the listing: what this
    // draw made goes. For the latter, the next draw cuts the source again from its start.
    if (!RemoveSet(&split) || outcome == Outcome::kFailed) return Fail(work, split.taken);
    bases.taken[static_cast<size_t>(base)] = true;
    split.waiting.clear();
    if (!RewindFile(source)) return FailSystem(work, split.sourceName);
  }
  return Fail(work, FailureKind::kNoFreeName);
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
