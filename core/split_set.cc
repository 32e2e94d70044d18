#include "core/split_set.h"

#include "core/limits.h"
#include "core/output_file.h"
#include "core/progress.h"

namespace {

// Piece lines are written to the checksum list once this many bytes of them are waiting.
constexpr size_t kListWriteBytes = 64 * 1024;

// Creates the file `name` of the set where no file of that name exists.
Outcome CreateFileOfSet(Split* split, const FilePath& name, FileHandle* file) {
  *file = CreateNew(name.c_str());
  if (*file != kNoFile) return Outcome::kMade;
  if (NameTaken(LastError(), name.c_str())) {
    split->taken = Failure{FailureKind::kSystem, LastError(), name.value(), 0};
    return Outcome::kTaken;
  }
  FailSystem(split->work, name.value());
  return Outcome::kFailed;
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

}  // namespace

// Writes the list's first line and then the pieces in order, asking before each whether to
// stop; then, only where the source has not changed, the remaining lines of the list.
Outcome WritePieces(Split* split) {
  if (!split->buffers.block && !GetCopyBuffers(split->work, true, &split->buffers)) {
    return Outcome::kFailed;
  }
  const Outcome header = WriteHeaderLine(split);
  if (header != Outcome::kMade) return header;
  for (uint64_t index = 0; index < split->header.count; ++index) {
    if (StopRequested(split->work)) {
      Fail(split->work, FailureKind::kStopped);
      return Outcome::kFailed;
    }
    const Outcome piece = WritePiece(split);
    if (piece != Outcome::kMade) return piece;
  }
  const bool done = SourceUnchanged(split) && WriteWaitingLines(split);
  return done ? Outcome::kMade : Outcome::kFailed;
}

FilePath MadeName(const Split& split, MemberKind kind, uint64_t index) {
  return SetMemberName(split.base, SetMember{kind, index});
}

Outcome CreateMember(Split* split, MemberKind kind, FileHandle* file) {
  uint64_t& made = split->made[static_cast<int>(kind)];
  const Outcome created = CreateFileOfSet(split, MadeName(*split, kind, made), file);
  if (created == Outcome::kMade) ++made;
  return created;
}

Outcome CreateRecoveryFile(Split* split, const FilePath& name, FileHandle* file) {
  const Outcome created = CreateFileOfSet(split, name, file);
  if (created == Outcome::kMade) split->recoveryMade.push_back(name);
  return created;
}

// A piece that another program holds open stays, and with it the list, whose missing lines tell
// a restore that the set is not whole.
bool RemoveSet(Split* split) {
  bool othersGone = true;
  for (const FilePath& name : split->recoveryMade) othersGone &= RemoveMade(split->work, name);
  split->recoveryMade.clear();
  uint64_t& pieces = split->made[static_cast<int>(MemberKind::kPiece)];
  for (uint64_t index = 0; index < pieces; ++index) {
    othersGone &= RemoveMade(split->work, MadeName(*split, MemberKind::kPiece, index));
  }
  pieces = 0;
  uint64_t& lists = split->made[static_cast<int>(MemberKind::kList)];
  const bool listGone =
      !othersGone || lists == 0 || RemoveMade(split->work, MadeName(*split, MemberKind::kList, 0));
  lists = 0;
  return othersGone && listGone;
}

Outcome WriteHeaderLine(Split* split) {
  const std::string header = HeaderLine(split->header);
  if (WriteBlock(split->list, header.data(), static_cast<uint32_t>(header.size()))) {
    return Outcome::kMade;
  }
  FailSystem(split->work, MadeName(*split, MemberKind::kList, 0).value());
  return Outcome::kFailed;
}

bool WriteWaitingLines(Split* split) {
  const bool ok =
      WriteBlock(split->list, split->waiting.data(), static_cast<uint32_t>(split->waiting.size()));
  split->waiting.clear();
  return ok || FailSystem(split->work, MadeName(*split, MemberKind::kList, 0).value());
}

bool SourceUnchanged(Split* split) {
  FileState now;
  if (!QueryFileState(split->source, &now)) return FailSystem(split->work, split->sourceName);
  return now == split->state || Fail(split->work, FailureKind::kSourceChanged, split->sourceName);
}

void BlameChangedSource(Split* split) {
  Failure& failure = split->work->failure;
  FileState now;
  if (failure.kind == FailureKind::kSystem && failure.file == split->sourceName &&
      QueryFileState(split->source, &now) && !(now == split->state)) {
    failure = Failure{FailureKind::kSourceChanged, 0, split->sourceName, 0};
  }
}
