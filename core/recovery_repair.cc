#include "core/recovery_repair.h"

#include <algorithm>
#include <cstring>

#include "core/gf16.h"
#include "core/limits.h"
#include "core/md5.h"
#include "core/par2_packets.h"
#include "core/piece_name.h"
#include "core/recovery_matrix.h"
#include "core/recovery_pass.h"
#include "core/recovery_scan.h"

namespace {

// The most pieces a repair rebuilds at once: its matrices grow with the square of the count.
constexpr size_t kMaxRebuilt = 1024;
// Pieces held open through a pass; a larger set opens each piece for each read.
constexpr uint64_t kMaxOpenPieces = 256;

// A recovery set that protects exactly the pieces of the list: each piece's constant, and the
// recovery slices by exponent (several files may hold the same one).
struct Protection {
  std::vector<uint16_t> constants;
  std::vector<std::vector<RecoverySliceRef>> byExponent;
  size_t usable = 0;  // exponents with a slice not known to be damaged
};

bool Protects(const RecoverySet& found, const ListedSet& set, Protection* protection) {
  const uint64_t count = set.header.count;
  const uint64_t largest = PieceBytes(set.header.size, set.header.step, 0);
  if (!found.haveMain || found.fileIds.size() != count || found.sliceSize < largest) return false;
  protection->constants.assign(count, 0);
  const std::string baseName = set.base.BaseName();
  for (uint64_t index = 0; index < count; ++index) {
    const std::string name = PieceName(baseName, static_cast<uint32_t>(index));
    const uint64_t length = PieceBytes(set.header.size, set.header.step, index);
    const auto file = std::find_if(found.files.begin(), found.files.end(), [&](const auto& f) {
      return f.name == name && f.length == length;
    });
    if (file == found.files.end()) return false;
    const auto rank = std::find(found.fileIds.begin(), found.fileIds.end(), file->id);
    if (rank == found.fileIds.end()) return false;
    protection->constants[index] =
        Par2InputConstant(static_cast<uint32_t>(rank - found.fileIds.begin()));
  }
  protection->byExponent.clear();
  std::vector<RecoverySliceRef> slices = found.slices;
  std::stable_sort(slices.begin(), slices.end(),
                   [](const auto& a, const auto& b) { return a.exponent < b.exponent; });
  for (const RecoverySliceRef& slice : slices) {
    if (slice.dataLength != found.sliceSize) continue;
    if (protection->byExponent.empty() ||
        protection->byExponent.back().front().exponent != slice.exponent) {
      protection->byExponent.emplace_back();
    }
    protection->byExponent.back().push_back(slice);
  }
  protection->usable = protection->byExponent.size();
  return true;
}

// The recovery set of the files that protects the set, with the most recovery slices.
bool FindProtection(WorkContext* work, const ListedSet& set, const std::vector<FilePath>& files,
                    Protection* best) {
  std::vector<RecoverySet> found;
  for (const FilePath& file : files) {
    if (!ScanRecoveryFile(work, file, &found)) return false;
  }
  Protection protection;
  for (const RecoverySet& candidate : found) {
    if (Protects(candidate, set, &protection) && protection.usable >= best->usable) {
      *best = protection;
    }
  }
  return true;
}

// The exponents of the usable recovery slices, and where each is among `byExponent`.
void UsableExponents(const Protection& protection, std::vector<uint32_t>* exponents,
                     std::vector<size_t>* places) {
  for (size_t e = 0; e < protection.byExponent.size(); ++e) {
    if (protection.byExponent[e].empty()) continue;
    exponents->push_back(protection.byExponent[e].front().exponent);
    places->push_back(e);
  }
}

// The files a pass reads, open while it runs.
struct OpenFiles {
  std::vector<FileHandle> files;
  ~OpenFiles() {
    for (const FileHandle file : files) CloseFile(file);
  }
  FileHandle Open(const FilePath& name) {
    const FileHandle file = OpenForRead(name.c_str());
    if (file != kNoFile) files.push_back(file);
    return file;
  }
};

bool Digests(const Sha256& hash, const std::array<unsigned char, kSha256Bytes>& expected) {
  Sha256 copy = hash;
  unsigned char digest[kSha256Bytes];
  Sha256End(&copy, digest);
  return std::memcmp(digest, expected.data(), kSha256Bytes) == 0;
}

// A piece found lost during an attempt: the next attempt rebuilds it too.
bool Lost(std::vector<uint64_t>* bad, uint64_t index) {
  bad->insert(std::lower_bound(bad->begin(), bad->end(), index), index);
  return true;
}

// A recovery slice found damaged or unreadable: the next attempt takes another of its exponent,
// where there is one.
bool Unusable(Protection* protection, size_t exponent) {
  std::vector<RecoverySliceRef>& slices = protection->byExponent[exponent];
  slices.erase(slices.begin());
  if (slices.empty()) --protection->usable;
  return true;
}

// One attempt: a pass over the whole pieces and the chosen recovery slices. Adds to `bad` the
// pieces that turned out damaged on the way, and drops from `protection` the recovery slices
// whose packets did; `rebuilt` tells whether every rebuilt piece is the one the list names.
bool Attempt(WorkContext* work, const ListedSet& set, std::vector<uint64_t>* bad,
             Protection* protection, const std::vector<size_t>& chosen,
             std::vector<uint16_t> inverse, FileHandle output, const std::string& outputName,
             bool* rebuilt) {
  *rebuilt = false;
  const uint64_t count = set.header.count;
  const size_t m = bad->size();
  RecoveryPass pass;
  pass.sliceSize = protection->byExponent[chosen[0]].front().dataLength;
  pass.transform = std::move(inverse);
  pass.memory = RecoveryPassMemory(count);
  OpenFiles open;
  std::vector<Sha256> pieceSha(count);
  std::vector<uint64_t> whole;
  for (uint64_t index = 0; index < count; ++index) {
    if (std::binary_search(bad->begin(), bad->end(), index)) continue;
    const FilePath name = PieceName(set.base, static_cast<uint32_t>(index));
    PassInput input;
    input.name = name.value();
    if (count <= kMaxOpenPieces && (input.file = open.Open(name)) == kNoFile) {
      return Lost(bad, index);
    }
    input.length = PieceBytes(set.header.size, set.header.step, index);
    input.constant = protection->constants[index];
    Sha256Begin(&pieceSha[index]);
    input.sha = &pieceSha[index];
    input.copyTo = output;
    input.copyOffset = index * set.header.step;
    input.copyName = outputName;
    pass.inputs.push_back(input);
    whole.push_back(index);
  }
  std::vector<Md5> packetMd5(m);
  for (size_t r = 0; r < m; ++r) {
    const RecoverySliceRef& slice = protection->byExponent[chosen[r]].front();
    PassInput input;
    input.name = slice.file.value();
    if ((input.file = open.Open(slice.file)) == kNoFile) return Unusable(protection, chosen[r]);
    input.offset = slice.dataOffset;
    input.length = pass.sliceSize;
    input.row = static_cast<uint32_t>(r);
    unsigned char prefix[kRecoveryPrefixBytes];
    RecoveryPrefix(slice.setId, slice.exponent, prefix);
    Md5Begin(&packetMd5[r]);
    Md5Add(&packetMd5[r], prefix, sizeof prefix);
    input.packetMd5 = &packetMd5[r];
    pass.inputs.push_back(input);
  }
  std::vector<Sha256> rebuiltSha(m);
  for (size_t j = 0; j < m; ++j) {
    PassOutput result;
    result.exponent = protection->byExponent[chosen[j]].front().exponent;
    result.file = output;
    result.name = outputName;
    result.offset = (*bad)[j] * set.header.step;
    result.length = PieceBytes(set.header.size, set.header.step, (*bad)[j]);
    Sha256Begin(&rebuiltSha[j]);
    result.sha = &rebuiltSha[j];
    pass.outputs.push_back(result);
  }
  if (!RunRecoveryPass(work, pass)) {
    // A piece or a recovery slice that cannot be read is lost as a damaged one is.
    const Failure failure = work->failure;
    if (failure.kind != FailureKind::kSystem) return false;
    work->failure = Failure();
    for (const uint64_t index : whole) {
      if (PieceName(set.base, static_cast<uint32_t>(index)).value() == failure.file) {
        return Lost(bad, index);
      }
    }
    for (size_t r = 0; r < m; ++r) {
      if (protection->byExponent[chosen[r]].front().file.value() == failure.file) {
        return Unusable(protection, chosen[r]);
      }
    }
    return Fail(work, failure);
  }

  // What the pass found out: pieces that are damaged after all, and recovery slices that are.
  // Either way the attempt is made again without them.
  const size_t before = bad->size();
  for (const uint64_t index : whole) {
    if (!Digests(pieceSha[index], set.digests[index])) bad->push_back(index);
  }
  std::sort(bad->begin(), bad->end());
  bool slicesWhole = true;
  for (size_t r = 0; r < m; ++r) {
    Par2Id md5;
    Md5End(&packetMd5[r], md5.data());
    if (md5 == protection->byExponent[chosen[r]].front().md5) continue;
    Unusable(protection, chosen[r]);
    slicesWhole = false;
  }
  if (bad->size() > before || !slicesWhole) return true;
  // Whole pieces and whole recovery slices that rebuild something else than the list names: the
  // recovery files are of another set of the same names, and of no use.
  *rebuilt = true;
  for (size_t j = 0; j < m; ++j)
    *rebuilt = *rebuilt && Digests(rebuiltSha[j], set.digests[(*bad)[j]]);
  if (!*rebuilt) protection->usable = 0;
  return true;
}

}  // namespace

bool RepairSet(WorkContext* work, const ListedSet& set, std::vector<uint64_t> bad,
               const std::vector<FilePath>& recoveryFiles, FileHandle output,
               const std::string& outputName) {
  Protection protection;
  if (!FindProtection(work, set, recoveryFiles, &protection)) return false;
  for (;;) {
    const std::string firstBad = PieceName(set.base, static_cast<uint32_t>(bad.front())).value();
    // Beyond what one repair rebuilds, further recovery slices are of no use: the failure
    // counts as missing what that leaves short, never none.
    const size_t usable = std::min<size_t>(protection.usable, kMaxRebuilt);
    if (bad.size() > usable) {
      Fail(work, FailureKind::kRecoveryShort, firstBad);
      work->failure.count = bad.size() - usable;
      return false;
    }
    std::vector<uint32_t> exponents;
    std::vector<size_t> places;
    UsableExponents(protection, &exponents, &places);
    std::vector<uint16_t> lost;
    for (const uint64_t index : bad) lost.push_back(protection.constants[index]);
    std::vector<size_t> chosen;
    std::vector<uint16_t> inverse;
    const bool invertible = ChooseAndInvert(lost, exponents, &chosen, &inverse);
    for (size_t& choice : chosen) choice = places[choice];
    if (!invertible) {
      Fail(work, FailureKind::kRecoveryShort, firstBad);
      work->failure.count = bad.size() - chosen.size();
      return false;
    }
    bool rebuilt = false;
    if (!Attempt(work, set, &bad, &protection, chosen, std::move(inverse), output, outputName,
                 &rebuilt)) {
      return false;
    }
    if (rebuilt) break;
  }
  work->repaired = PieceName(set.base, static_cast<uint32_t>(bad.front())).value();
  work->repairedCount = bad.size();
  return true;
}
