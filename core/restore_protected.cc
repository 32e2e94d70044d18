#include "core/restore_protected.h"

#include <cstring>

#include "core/checksum_list.h"
#include "core/gf16.h"
#include "core/limits.h"
#include "core/output_file.h"
#include "core/piece_name.h"
#include "core/progress.h"
#include "core/recovery_repair.h"
#include "core/stream_copy.h"

namespace {

struct Beside {
  std::string folder;  // the base's text up to its name
  std::string baseName;
  std::vector<FilePath> files;
};

bool NoteRecoveryFile(void* data, const char* name) {
  auto* beside = static_cast<Beside*>(data);
  if (MemberOfSet(name, beside->baseName).kind == MemberKind::kRecovery) {
    beside->files.push_back(FilePath(beside->folder + name));
  }
  return true;
}

// Reads the whole list, holding every piece's digest. Sets `applies` to false for a list of
// more pieces than the PAR 2.0 format holds.
bool ReadWholeList(WorkContext* work, const FilePath& listName, ListedSet* set, bool* applies) {
  ListReader list;
  std::string line;
  if (!OpenList(work, listName, &list) || !ReadListHeader(work, &list, &line, &set->header)) {
    return false;
  }
  *applies = set->header.count <= kPar2MaxInputSlices;
  if (!*applies) return true;
  const std::string baseName = set->base.BaseName();
  set->digests.resize(set->header.count);
  for (uint64_t index = 0; index < set->header.count; ++index) {
    if (!ReadListedDigest(work, &list, PieceName(baseName, static_cast<uint32_t>(index)),
                          FailureKind::kListUnreadable, set->digests[index].data())) {
      return false;
    }
  }
  return ReadListEnd(work, &list);
}

// The pieces that are missing, shorter or longer than the list says, from their look-up.
bool FindBadSizes(WorkContext* work, const ListedSet& set, std::vector<uint64_t>* bad) {
  for (uint64_t index = 0; index < set.header.count; ++index) {
    if (StopRequested(work)) return Fail(work, FailureKind::kStopped);
    const FilePath name = PieceName(set.base, static_cast<uint32_t>(index));
    uint64_t size = 0;
    const NameLookup lookup = LookUpName(name.c_str(), &size);
    if (lookup == NameLookup::kUnknown) return FailSystem(work, name.value());
    if (lookup == NameLookup::kMissing ||
        size != PieceBytes(set.header.size, set.header.step, index)) {
      bad->push_back(index);
    }
  }
  return true;
}

// Copies the pieces in order into the output, each hashed on the way, as the restore of a whole
// set does, until one turns out lost after all: damaged, changed, or unreadable. Its index goes
// to `bad`, and the join stops there; a failure of the output ends the restore.
bool JoinUntilLost(WorkContext* work, const ListedSet& set, const CopyEnd& output,
                   std::vector<uint64_t>* bad) {
  CopyBuffers buffers;
  if (!GetCopyBuffers(work, true, &buffers)) return false;
  for (uint64_t index = 0; index < set.header.count; ++index) {
    if (StopRequested(work)) return Fail(work, FailureKind::kStopped);
    const FilePath name = PieceName(set.base, static_cast<uint32_t>(index));
    const uint64_t expected = PieceBytes(set.header.size, set.header.step, index);
    Sha256 hash;
    Sha256Begin(&hash);
    uint64_t size = 0;
    const bool copied =
        CopyWholeFile(work, &buffers, name, expected, expected, output, &hash, &size);
    if (!copied && work->failure.file != name.value()) return false;  // the output, or a stop
    unsigned char digest[kSha256Bytes];
    Sha256End(&hash, digest);
    if (!copied || std::memcmp(digest, set.digests[index].data(), kSha256Bytes) != 0) {
      // A piece that cannot be read is lost as a missing one is: it is rebuilt.
      work->failure = Failure();
      bad->push_back(index);
      return true;
    }
  }
  return true;
}

}  // namespace

std::vector<FilePath> RecoveryFilesBeside(const FilePath& base) {
  Beside beside;
  beside.baseName = base.BaseName();
  beside.folder = base.value().substr(0, base.value().size() - beside.baseName.size());
  if (!ListBeside(base.c_str(), NoteRecoveryFile, &beside)) beside.files.clear();
  return beside.files;
}

bool RestoreProtected(WorkContext* work, const FilePath& base, const FilePath& listName,
                      const std::vector<FilePath>& recoveryFiles, bool* applies) {
  ListedSet set;
  set.base = base;
  if (!ReadWholeList(work, listName, &set, applies) || !*applies) return false;
  std::vector<uint64_t> bad;
  if (!FindBadSizes(work, set, &bad)) return false;
  if (!FitsBeside(base, set.header.size)) return Fail(work, FailureKind::kNoRoom);
  AtomicReplace replace;
  if (!BeginAtomicReplace(work, base, &replace)) return false;
  BeginProgress(work, set.header.size);
  bool ok =
      bad.empty() ? JoinUntilLost(work, set, CopyEnd{replace.file, base.value()}, &bad) : true;
  if (ok && !bad.empty()) {
    ok = RepairSet(work, set, bad, recoveryFiles, replace.file, base.value());
  }
  if (!FinishAtomicReplace(work, base, &replace, ok)) return false;
  work->originalName = set.header.name;
  return true;
}
