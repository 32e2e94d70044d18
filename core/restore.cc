#include "core/restore.h"

#include <cstdint>
#include <string>

#include "core/failure.h"
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

// Looks up base-00, base-01, ... up to the first name that does not exist, without opening
// any of them; the last index a piece can have ends the set too, as it ends a split. Fails when
// not even base-00 exists (an existing file named like the base must not be emptied), when a
// name cannot be looked up (a look-up that fails for another reason than a missing name must
// not pass for the end of the set), or there would be more bytes than 64 bits count.
bool FindPieces(const std::string& baseText, PieceSet* found) {
  *found = PieceSet{0, 0, 0};
  while (found->count < kMaxPieceCount) {
    if (StopRequested()) return Fail(FailureKind::kStopped);
    const std::string name = PieceName(baseText, static_cast<uint32_t>(found->count));
    uint64_t size = 0;
    const NameLookup lookup = LookUpName(name.c_str(), &size);
    if (lookup == NameLookup::kMissing) return found->count > 0 || FailSystem(name);
    if (lookup != NameLookup::kFound) return FailSystem(name);
    if (size > UINT64_MAX - found->total) return Fail(FailureKind::kTooManyPieces);
    AddPiece(found, size);
  }
  return true;
}

// Copies one piece whole into the output after what `read` holds. Fails when it cannot be
// opened or read whole, or when its size no longer fits in what the look-up found.
bool CopyPiece(const std::string& name, const PieceSet& found, PieceSet* read, FileHandle output,
               char* buffer) {
  const FileHandle piece = OpenForRead(name.c_str());
  if (piece == kNoFile) return FailSystem(name);
  uint64_t size = 0;
  bool ok = QueryFileSize(piece, &size) || FailSystem(name);
  if (ok && size > found.total - read->total) ok = Fail(FailureKind::kSetChanged);
  if (ok) {
    const CopyResult copied = CopyBytes(piece, output, size, buffer);
    if (copied == CopyResult::kStopped) Fail(FailureKind::kStopped);
    if (copied == CopyResult::kReadFailed) FailSystem(name);
    if (copied == CopyResult::kWriteFailed) FailSystem();
    ok = copied == CopyResult::kDone;
  }
  CloseFile(piece);
  if (ok) AddPiece(read, size);
  return ok;
}

// Copies every piece found, in order. Fails when a piece has gone, changed size or cannot be
// read whole.
bool CopyPieces(const std::string& baseText, const PieceSet& found, FileHandle output,
                char* buffer) {
  PieceSet read = {0, 0, 0};
  while (read.count < found.count) {
    if (StopRequested()) return Fail(FailureKind::kStopped);
    const std::string name = PieceName(baseText, static_cast<uint32_t>(read.count));
    if (!CopyPiece(name, found, &read, output, buffer)) return false;
  }
  return (read.total == found.total && read.fingerprint == found.fingerprint) ||
         Fail(FailureKind::kSetChanged);
}

bool RestoreFound(const std::string& baseText, const PieceSet& found) {
  // The joined bytes are written beside the output before the old output goes.
  if (!FitsBeside(baseText, found.total)) return Fail(FailureKind::kNoRoom);
  const StreamBuffer buffer = NewStreamBuffer();
  if (!buffer) return Fail(FailureKind::kNoMemory);
  AtomicReplace replace;
  if (!BeginAtomicReplace(baseText, &replace)) return false;
  BeginProgress(found.total);
  const bool copied = CopyPieces(baseText, found, replace.file, buffer.get());
  return FinishAtomicReplace(baseText, &replace, copied);
}

}  // namespace

int RestoreFile(const char* baseText) {
  ClearFailure();
  const std::string base = baseText;
  PieceSet found;
  return FindPieces(base, &found) && RestoreFound(base, found) ? 1 : 0;
}
