#include "core/recovery_scan.h"

#include <algorithm>
#include <cstring>

#include "core/progress.h"
#include "platform/platform.h"

namespace {

// The main packet of 32,768 files takes 512 KiB; larger packets of other kinds are passed over.
constexpr uint64_t kMaxReadPacket = 1u << 20;
// How much is read at once while looking for the next packet.
constexpr uint32_t kSearchBytes = 64 * 1024;

struct Scan {
  WorkContext* work;
  const FilePath* name;
  FileHandle file;
  uint64_t size;
  std::vector<RecoverySet>* sets;
  bool stopped;
};

// Whether to stop, recorded once asked for.
bool Stopped(Scan* scan) {
  if (!scan->stopped && StopRequested(scan->work)) {
    scan->stopped = true;
    Fail(scan->work, FailureKind::kStopped);
  }
  return scan->stopped;
}

RecoverySet* SetOf(Scan* scan, const Par2Id& id) {
  for (RecoverySet& set : *scan->sets) {
    if (set.id == id) return &set;
  }
  scan->sets->push_back(RecoverySet());
  scan->sets->back().id = id;
  return &scan->sets->back();
}

bool ReadAt(Scan* scan, uint64_t at, void* bytes, uint64_t count) {
  return at <= scan->size && count <= scan->size - at &&
         ReadBlockAt(scan->file, at, bytes, static_cast<uint32_t>(count));
}

// Takes in the packet at `at` with `header`, whose length fits in the file. False when it is
// damaged: its MD5 does not match.
bool TakePacket(Scan* scan, uint64_t at, const PacketHeader& header) {
  if (header.type == PacketType::kRecoverySlice) {
    unsigned char exponent[4];
    if (header.length < kRecoveryHeadBytes || !ReadAt(scan, at + kPacketHeaderBytes, exponent, 4)) {
      return false;
    }
    SetOf(scan, header.setId)
        ->slices.push_back(RecoverySliceRef{
            *scan->name, at + kRecoveryHeadBytes, header.length - kRecoveryHeadBytes,
            uint32_t{exponent[0]} | uint32_t{exponent[1]} << 8 | uint32_t{exponent[2]} << 16 |
                uint32_t{exponent[3]} << 24,
            header.setId, header.md5});
    return true;
  }
  if (header.type != PacketType::kMain && header.type != PacketType::kFileDescription) return true;
  if (header.length > kMaxReadPacket) return false;
  std::string body(header.length - kPacketHeaderBytes, '\0');
  if (!ReadAt(scan, at + kPacketHeaderBytes, &body[0], body.size()) ||
      !PacketBodyMatches(header, body)) {
    return false;
  }
  RecoverySet* set = SetOf(scan, header.setId);
  if (header.type == PacketType::kMain) {
    if (!set->haveMain) set->haveMain = ParseMainBody(body, &set->sliceSize, &set->fileIds);
    return true;
  }
  FileDescription file;
  if (!ParseFileDescriptionBody(body, &file)) return false;
  const bool known = std::any_of(set->files.begin(), set->files.end(),
                                 [&](const FileDescription& other) { return other.id == file.id; });
  if (!known) set->files.push_back(file);
  return true;
}

// The offset of the next magic sequence at or after `from`, or the size of the file.
uint64_t NextMagic(Scan* scan, uint64_t from) {
  std::string bytes(kSearchBytes, '\0');
  while (from + sizeof kPacketMagic <= scan->size) {
    const uint64_t count = std::min<uint64_t>(kSearchBytes, scan->size - from);
    if (Stopped(scan) || !ReadAt(scan, from, &bytes[0], count)) return scan->size;
    const std::string magic(reinterpret_cast<const char*>(kPacketMagic), sizeof kPacketMagic);
    const size_t found = bytes.substr(0, count).find(magic);
    if (found != std::string::npos) return from + found;
    // The magic may begin in the last bytes of this chunk.
    if (count < kSearchBytes) break;
    from += count - (sizeof kPacketMagic - 1);
  }
  return scan->size;
}

}  // namespace

bool ScanRecoveryFile(WorkContext* work, const FilePath& name, std::vector<RecoverySet>* sets) {
  Scan scan = {work, &name, OpenForRead(name.c_str()), 0, sets, false};
  if (scan.file == kNoFile) return true;
  if (QueryFileSize(scan.file, &scan.size)) {
    uint64_t at = 0;
    while (at + kPacketHeaderBytes <= scan.size && !Stopped(&scan)) {
      unsigned char bytes[kPacketHeaderBytes];
      PacketHeader header;
      // A header that is whole and a packet that fits in the file and is not damaged leads to the
      // next packet; anything else to the next magic sequence after it.
      if (ReadAt(&scan, at, bytes, sizeof bytes) && ReadPacketHeader(bytes, &header) &&
          header.length <= scan.size - at && TakePacket(&scan, at, header)) {
        at += header.length;
      } else {
        at = NextMagic(&scan, at + 1);
      }
    }
  }
  CloseFile(scan.file);
  return !scan.stopped;
}
