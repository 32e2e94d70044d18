#include "core/restore.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "core/checksum_list.h"
#include "core/limits.h"
#include "core/output_file.h"
#include "core/piece_name.h"
#include "core/progress.h"
#include "core/restore_protected.h"
#include "core/stream_copy.h"
#include "core/work_context.h"
#include "platform/file_path.h"
#include "platform/platform.h"

namespace {

// ---- A set without a checksum list: the pieces found by name ----

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

// Looks for a piece of the base after index `missing` among the names beside it.
struct LaterPiece {
  std::string baseName;
  uint64_t missing;
  bool found;
};

bool NoLaterPieceIn(void* data, const char* name) {
  auto* later = static_cast<LaterPiece*>(data);
  const SetMember member = MemberOfSet(name, later->baseName);
  later->found = member.kind == MemberKind::kPiece && member.index > later->missing;
  return !later->found;
}

// Looks up base-00, base-01, ... up to the first name that does not exist, without opening
// any of them; the last index a piece can have ends the set too, as it ends a split. Fails when
// not even base-00 exists (an existing file named like the base must not be emptied), when a
// name cannot be looked up (a look-up that fails for another reason than a missing name must
// not pass for the end of the set), or there would be more bytes than 64 bits count. Fails too
// when a later piece of the base lies beside the set: the missing one is a gap, and a set with
// a gap is not whole.
bool FindPieces(WorkContext* work, const FilePath& base, PieceSet* found) {
  *found = PieceSet{0, 0, 0};
  while (found->count < kMaxPieceCount) {
    if (StopRequested(work)) return Fail(work, FailureKind::kStopped);
    const FilePath name = PieceName(base, static_cast<uint32_t>(found->count));
    uint64_t size = 0;
    const NameLookup lookup = LookUpName(name.c_str(), &size);
    if (lookup == NameLookup::kMissing && found->count == 0) return FailSystem(work, name.value());
    if (lookup == NameLookup::kMissing) break;
    if (lookup != NameLookup::kFound) return FailSystem(work, name.value());
    if (size > UINT64_MAX - found->total) return Fail(work, FailureKind::kTooManyPieces);
    AddPiece(found, size);
  }
  if (found->count == kMaxPieceCount) return true;
  LaterPiece later = {base.BaseName(), found->count, false};
  if (!ListBeside(base.c_str(), NoLaterPieceIn, &later)) return FailSystem(work);
  return !later.found || Fail(work, FailureKind::kPieceMissing,
                              PieceName(base, static_cast<uint32_t>(found->count)).value());
}

// Copies every piece found, in order. Fails when a piece has gone, changed size or cannot be
// read whole.
bool CopyPieces(WorkContext* work, CopyBuffers* buffers, const FilePath& base,
                const PieceSet& found, const CopyEnd& output) {
  PieceSet read = {0, 0, 0};
  while (read.count < found.count) {
    if (StopRequested(work)) return Fail(work, FailureKind::kStopped);
    // A piece no larger than what the look-up found is left over.
    const FilePath name = PieceName(base, static_cast<uint32_t>(read.count));
    uint64_t size = 0;
    if (!CopyWholeFile(work, buffers, name, 0, found.total - read.total, output, nullptr, &size)) {
      return false;
    }
    AddPiece(&read, size);
  }
  return (read.total == found.total && read.fingerprint == found.fingerprint) ||
         Fail(work, FailureKind::kSetChanged);
}

// Joins `total` bytes beside the output and puts them in its place: checks the free space, gets
// the buffers (and, for `hashing`, the helper), creates the temporary file, has `copy` fill it,
// and replaces the output only when it was filled whole.
template <typename Copy>
bool JoinBeside(WorkContext* work, const FilePath& base, uint64_t total, bool hashing, Copy copy) {
  // The joined bytes are written beside the output before the old output goes.
  if (!FitsBeside(base, total)) return Fail(work, FailureKind::kNoRoom);
  CopyBuffers buffers;
  if (!GetCopyBuffers(work, hashing, &buffers)) return false;
  AtomicReplace replace;
  if (!BeginAtomicReplace(work, base, &replace)) return false;
  BeginProgress(work, total);
  return FinishAtomicReplace(work, base, &replace,
                             copy(&buffers, CopyEnd{replace.file, base.value()}));
}

bool RestoreFound(WorkContext* work, const FilePath& base) {
  PieceSet found;
  return FindPieces(work, base, &found) &&
         JoinBeside(work, base, found.total, false,
                    [&](CopyBuffers* buffers, const CopyEnd& output) {
                      return CopyPieces(work, buffers, base, found, output);
                    });
}

// ---- A set with its checksum list: exactly the pieces the list names ----

// Reads the whole list and looks up every piece it names, before anything is written: a piece
// that is missing or shorter than the list says fails, and so does one that is longer. Stores
// the list's first line and what it says.
bool CheckListedSet(WorkContext* work, const FilePath& base, const FilePath& listName,
                    std::string* headerLine, SetHeader* header) {
  ListReader list;
  if (!OpenList(work, listName, &list) || !ReadListHeader(work, &list, headerLine, header)) {
    return false;
  }
  for (uint64_t index = 0; index < header->count; ++index) {
    if (StopRequested(work)) return Fail(work, FailureKind::kStopped);
    const FilePath name = PieceName(base, static_cast<uint32_t>(index));
    unsigned char digest[kSha256Bytes];
    if (!ReadListedDigest(work, &list, name.BaseName(), FailureKind::kListUnreadable, digest)) {
      return false;
    }
    const uint64_t expected = PieceBytes(header->size, header->step, index);
    uint64_t size = 0;
    const NameLookup lookup = LookUpName(name.c_str(), &size);
    if (lookup == NameLookup::kUnknown) return FailSystem(work, name.value());
    if (lookup == NameLookup::kMissing || size < expected) {
      return Fail(work, FailureKind::kPieceMissing, name.value());
    }
    if (size > expected) return Fail(work, FailureKind::kPieceDamaged, name.value());
  }
  return ReadListEnd(work, &list);
}

// Copies one piece whole into the output, hashing it on the way, and compares the hash with the
// list's. Fails when it cannot be opened or read whole, has changed size since the look-up, or
// its bytes are not those the list names.
bool CopyListedPiece(WorkContext* work, CopyBuffers* buffers, const FilePath& name,
                     uint64_t expected, const unsigned char digest[kSha256Bytes],
                     const CopyEnd& output) {
  Sha256 hash;
  Sha256Begin(&hash);
  uint64_t size = 0;
  if (!CopyWholeFile(work, buffers, name, expected, expected, output, &hash, &size)) return false;
  unsigned char found[kSha256Bytes];
  Sha256End(&hash, found);
  return std::memcmp(found, digest, kSha256Bytes) == 0 ||
         Fail(work, FailureKind::kPieceDamaged, name.value());
}

// Reads the list again, line by line, and copies each piece as its line comes.
bool CopyListedPieces(WorkContext* work, CopyBuffers* buffers, const FilePath& base,
                      const FilePath& listName, const std::string& headerLine,
                      const SetHeader& header, const CopyEnd& output) {
  ListReader list;
  if (!OpenList(work, listName, &list)) return false;
  std::string line;
  const ListLine first = NextLine(work, &list, &line);
  if (first == ListLine::kFailed) return false;
  if (first != ListLine::kLine || line != headerLine) {
    return Fail(work, FailureKind::kSetChanged, listName.value());
  }
  for (uint64_t index = 0; index < header.count; ++index) {
    if (StopRequested(work)) return Fail(work, FailureKind::kStopped);
    const FilePath name = PieceName(base, static_cast<uint32_t>(index));
    unsigned char digest[kSha256Bytes];
    if (!ReadListedDigest(work, &list, name.BaseName(), FailureKind::kSetChanged, digest)) {
      return false;
    }
    const uint64_t expected = PieceBytes(header.size, header.step, index);
    if (!CopyListedPiece(work, buffers, name, expected, digest, output)) return false;
  }
  return true;
}

bool RestoreListed(WorkContext* work, const FilePath& base, const FilePath& listName) {
  // With recovery files beside the set, lost pieces are rebuilt from them.
  const std::vector<FilePath> recoveryFiles = RecoveryFilesBeside(base);
  bool applies = !recoveryFiles.empty();
  if (applies) {
    const bool ok = RestoreProtected(work, base, listName, recoveryFiles, &applies);
    if (applies) return ok;
  }
  std::string headerLine;
  SetHeader header;
  if (!CheckListedSet(work, base, listName, &headerLine, &header) ||
      !JoinBeside(work, base, header.size, true, [&](CopyBuffers* buffers, const CopyEnd& output) {
        return CopyListedPieces(work, buffers, base, listName, headerLine, header, output);
      })) {
    return false;
  }
  work->originalName = header.name;
  return true;
}

}  // namespace

int RestoreFile(const char* baseText, WorkContext* work) {
  const PlatformOpsScope calls(work->platform);
  ClearResults(work);
  const FilePath base(baseText);
  const FilePath listName = ListName(base);
  uint64_t size = 0;
  bool ok = false;
  switch (LookUpName(listName.c_str(), &size)) {
    case NameLookup::kMissing:
      ok = RestoreFound(work, base);
      break;
    case NameLookup::kFound:
      ok = RestoreListed(work, base, listName);
      break;
    case NameLookup::kUnknown:
      ok = FailSystem(work, listName.value());
      break;
  }
  return ok ? 1 : 0;
}

int RestoreFile(const char* baseText) {
  WorkContext work;
  return RestoreFile(baseText, &work);
}
