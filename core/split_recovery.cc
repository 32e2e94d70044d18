#include "core/split_recovery.h"

#include "core/recovery_make.h"
#include "core/recovery_pass.h"

namespace {

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

// The pieces open at once, closed as they go.
struct OpenPieces {
  std::vector<FileHandle> files;
  ~OpenPieces() {
    for (const FileHandle file : files) CloseFile(file);
  }
};

}  // namespace

// The recovery files of a set already cut: the source is read once more.
Outcome WriteRecovery(Split* split) {
  RecoveryWriter writer;
  const Outcome begun = BeginRecovery(split, &writer);
  if (begun != Outcome::kMade) return begun;
  RecoveryPass pass;
  AddToPass(&writer, split->header, split->source, split->sourceName, &pass);
  return RunRecovery(split, &writer, pass);
}

// A set with recovery pieces cut in one pass: every piece is created first, then the pass reads
// the source a stripe of every piece at a time, writes each piece's stripe and hashes it for the
// list as for the recovery slices; the list's lines come last.
Outcome WriteProtectedSet(Split* split) {
  const Outcome header = WriteHeaderLine(split);
  if (header != Outcome::kMade) return header;
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
