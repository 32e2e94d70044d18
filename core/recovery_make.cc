#include "core/recovery_make.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "core/gf16.h"
#include "core/limits.h"
#include "core/md5.h"
#include "core/par2_packets.h"
#include "core/piece_name.h"
#include "core/recovery_pass.h"
#include "core/stream_copy.h"

namespace {

// What a file's MD5-16k covers.
constexpr uint32_t kFirstBytes = 16 * 1024;
// Pieces whose first bytes are read and hashed together.
constexpr size_t kFirstGroup = 16;

uint64_t RoundUp4(uint64_t bytes) {
  return (bytes + 3) / 4 * 4;
}

// The bytes of a packet of each kind.
uint64_t MainBytes(uint64_t pieces) {
  return kPacketHeaderBytes + 12 + 16 * pieces;
}
uint64_t FileDescriptionBytes(const std::string& name) {
  return kPacketHeaderBytes + 56 + RoundUp4(name.size());
}
constexpr uint64_t kSliceChecksumBytes = kPacketHeaderBytes + 16 + 20;

std::string Padded(uint32_t value, size_t width) {
  const std::string digits = std::to_string(value);
  return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

// Stores the MD5 of the first 16 KiB of every piece (of all of it, where shorter), read back
// from the source; the pieces of a group that have the whole 16 KiB are hashed side by side.
bool HashFirstBytes(WorkContext* work, FileHandle source, const std::string& sourceName,
                    const SetHeader& header, RecoveryWriter* set) {
  const StreamBuffer block(static_cast<char*>(AllocBlock(kFirstGroup * kFirstBytes)));
  if (!block) return Fail(work, FailureKind::kNoMemory);
  for (uint64_t first = 0; first < header.count; first += kFirstGroup) {
    const size_t count = static_cast<size_t>(std::min<uint64_t>(kFirstGroup, header.count - first));
    Md5 hashes[kFirstGroup];
    Md5* whole[kFirstGroup];
    const unsigned char* data[kFirstGroup];
    size_t lanes = 0;
    for (size_t i = 0; i < count; ++i) {
      const uint64_t index = first + i;
      const uint32_t bytes = static_cast<uint32_t>(
          std::min<uint64_t>(kFirstBytes, PieceBytes(header.size, header.step, index)));
      unsigned char* buffer = reinterpret_cast<unsigned char*>(block.get()) + i * kFirstBytes;
      if (!ReadBlockAt(source, index * header.step, buffer, bytes)) {
        return FailSystem(work, sourceName);
      }
      Md5Begin(&hashes[i]);
      if (bytes == kFirstBytes) {
        whole[lanes] = &hashes[i];
        data[lanes++] = buffer;
      } else {
        Md5Add(&hashes[i], buffer, bytes);
      }
    }
    Md5AddLanes(whole, data, lanes, kFirstBytes);
    for (size_t i = 0; i < count; ++i)
      Md5End(&hashes[i], set->pieces[first + i].md5First16k.data());
  }
  return true;
}

// The file IDs, their order, each piece's constant, the main packet and the set ID.
void NameTheSet(const SetHeader& header, uint64_t sliceSize, RecoveryWriter* set) {
  for (FileDescription& file : set->pieces) {
    file.id = FileIdOf(file.md5First16k, file.length, file.name);
  }
  set->order.resize(set->pieces.size());
  std::iota(set->order.begin(), set->order.end(), size_t{0});
  std::sort(set->order.begin(), set->order.end(),
            [&](size_t a, size_t b) { return FileIdBefore(set->pieces[a].id, set->pieces[b].id); });
  std::vector<Par2Id> ids;
  set->constants.resize(header.count);
  for (size_t rank = 0; rank < set->order.size(); ++rank) {
    ids.push_back(set->pieces[set->order[rank]].id);
    set->constants[set->order[rank]] = Par2InputConstant(static_cast<uint32_t>(rank));
  }
  set->mainBody = MainBody(sliceSize, ids);
  set->setId = SetIdOf(set->mainBody);
}

// The packets that every file of the set holds, in the order of the file IDs.
std::string SetPackets(const RecoveryWriter& set) {
  std::string packets = MakePacket(set.setId, PacketType::kMain, set.mainBody);
  for (const size_t index : set.order) {
    packets +=
        MakePacket(set.setId, PacketType::kFileDescription, FileDescriptionBody(set.pieces[index]));
  }
  for (const size_t index : set.order) {
    packets += MakePacket(set.setId, PacketType::kSliceChecksums,
                          SliceChecksumBody(set.pieces[index].id, set.slices[index]));
  }
  return packets + MakePacket(set.setId, PacketType::kCreator, CreatorBody());
}

bool WriteAll(WorkContext* work, FileHandle file, uint64_t at, const std::string& bytes,
              const FilePath& name) {
  for (size_t done = 0; done < bytes.size();) {
    const uint32_t chunk = static_cast<uint32_t>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!WriteBlockAt(file, at + done, bytes.data() + done, chunk)) {
      return FailSystem(work, name.value());
    }
    done += chunk;
  }
  return true;
}

// Where recovery slice `exponent` lies in its volume: the slices first, each a packet.
uint64_t SliceAt(const RecoveryLayout& layout, uint32_t exponent) {
  return exponent % layout.perVolume * (kRecoveryHeadBytes + layout.sliceSize);
}

}  // namespace

uint32_t RecoveryCount(RecoveryChoice choice, uint64_t pieces, uint64_t size) {
  if (size == 0 || pieces > kPar2MaxInputSlices) return 0;
  const uint64_t wanted = choice == RecoveryChoice::kTenth  ? (pieces + 9) / 10
                          : choice == RecoveryChoice::kNone ? 0
                                                            : static_cast<uint64_t>(choice);
  return static_cast<uint32_t>(std::min(wanted, pieces));
}

RecoveryLayout PlanRecovery(const SetHeader& header, int32_t base, uint32_t count) {
  RecoveryLayout layout;
  layout.sliceSize = RoundUp4(PieceBytes(header.size, header.step, 0));
  layout.count = count;
  layout.packetBytes = MainBytes(header.count) + header.count * kSliceChecksumBytes +
                       kPacketHeaderBytes + CreatorBody().size();
  for (uint64_t index = 0; index < header.count; ++index) {
    layout.packetBytes += FileDescriptionBytes(PieceName(base, static_cast<uint32_t>(index)));
  }
  const uint64_t slices = (layout.packetBytes + layout.sliceSize - 1) / layout.sliceSize;
  layout.perVolume = static_cast<uint32_t>(std::clamp<uint64_t>(slices, 1, count));
  return layout;
}

uint64_t RecoveryBytes(const RecoveryLayout& layout) {
  return (layout.Volumes() + uint64_t{1}) * layout.packetBytes +
         layout.count * (kRecoveryHeadBytes + layout.sliceSize);
}

// As par2cmdline names volumes: the first exponent, with as many digits as the number of
// recovery slices has, and the count, with as many as the largest count, so that the names sort
// and line up ("4711.vol00+1.par2" ... "4711.vol10+1.par2").
FilePath VolumeName(const FilePath& base, const RecoveryLayout& layout, uint32_t volume) {
  const uint32_t first = volume * layout.perVolume;
  const uint32_t count = std::min(layout.perVolume, layout.count - first);
  const size_t firstDigits = std::to_string(layout.count).size();
  const size_t countDigits = std::to_string(layout.perVolume).size();
  return base.AddSuffix(".vol" + Padded(first, firstDigits) + "+" + Padded(count, countDigits) +
                        ".par2");
}

std::vector<FilePath> RecoveryFileNames(const FilePath& base, const RecoveryLayout& layout) {
  std::vector<FilePath> names;
  for (uint32_t volume = 0; volume < layout.Volumes(); ++volume) {
    names.push_back(VolumeName(base, layout, volume));
  }
  names.push_back(SetMemberName(base, SetMember{MemberKind::kRecovery, 0}));
  return names;
}

RecoveryWriter::~RecoveryWriter() {
  for (const FileHandle file : files) CloseFile(file);
}

bool DescribeSet(WorkContext* work, FileHandle source, const std::string& sourceName,
                 const SetHeader& header, int32_t base, RecoveryWriter* writer) {
  writer->pieces.resize(header.count);
  writer->sliceMd5.resize(header.count);
  writer->slices.resize(header.count);
  for (uint64_t index = 0; index < header.count; ++index) {
    writer->pieces[index].length = PieceBytes(header.size, header.step, index);
    writer->pieces[index].name = PieceName(base, static_cast<uint32_t>(index));
  }
  if (!HashFirstBytes(work, source, sourceName, header, writer)) return false;
  NameTheSet(header, writer->layout.sliceSize, writer);
  return true;
}

void AddToPass(RecoveryWriter* writer, const SetHeader& header, FileHandle source,
               const std::string& sourceName, RecoveryPass* pass) {
  const RecoveryLayout& layout = writer->layout;
  pass->sliceSize = layout.sliceSize;
  pass->memory = RecoveryPassMemory(header.count);
  for (uint64_t index = 0; index < header.count; ++index) {
    PassInput input;
    input.file = source;
    input.name = sourceName;
    input.offset = index * header.step;
    input.length = writer->pieces[index].length;
    input.constant = writer->constants[index];
    Md5Begin(&writer->sliceMd5[index]);
    input.sliceMd5 = &writer->sliceMd5[index];
    input.fileMd5 = &writer->pieces[index].md5;
    input.crc = &writer->slices[index].crc;
    pass->inputs.push_back(input);
  }
  writer->packetMd5.resize(layout.count);
  for (uint32_t exponent = 0; exponent < layout.count; ++exponent) {
    unsigned char prefix[kRecoveryPrefixBytes];
    RecoveryPrefix(writer->setId, exponent, prefix);
    Md5Begin(&writer->packetMd5[exponent]);
    Md5Add(&writer->packetMd5[exponent], prefix, sizeof prefix);
    PassOutput output;
    output.exponent = exponent;
    output.file = writer->files[exponent / layout.perVolume];
    output.name = writer->names[exponent / layout.perVolume].value();
    output.offset = SliceAt(layout, exponent) + kRecoveryHeadBytes;
    output.length = layout.sliceSize;
    output.md5 = &writer->packetMd5[exponent];
    pass->outputs.push_back(output);
  }
}

bool FinishRecoveryFiles(WorkContext* work, RecoveryWriter* writer) {
  const RecoveryLayout& layout = writer->layout;
  for (size_t index = 0; index < writer->pieces.size(); ++index) {
    Md5End(&writer->sliceMd5[index], writer->slices[index].md5.data());
  }
  for (uint32_t exponent = 0; exponent < layout.count; ++exponent) {
    Par2Id md5;
    Md5End(&writer->packetMd5[exponent], md5.data());
    unsigned char head[kRecoveryHeadBytes];
    RecoveryHead(writer->setId, exponent, layout.sliceSize, md5, head);
    const uint32_t volume = exponent / layout.perVolume;
    if (!WriteAll(work, writer->files[volume], SliceAt(layout, exponent),
                  std::string(reinterpret_cast<const char*>(head), sizeof head),
                  writer->names[volume])) {
      return false;
    }
  }
  // Every file ends with the packets of the set: a volume after its slices, the index alone.
  const std::string packets = SetPackets(*writer);
  for (uint32_t volume = 0; volume <= layout.Volumes(); ++volume) {
    const uint64_t slices =
        volume == layout.Volumes()
            ? 0
            : std::min(layout.perVolume, layout.count - volume * layout.perVolume);
    if (!WriteAll(work, writer->files[volume], slices * (kRecoveryHeadBytes + layout.sliceSize),
                  packets, writer->names[volume])) {
      return false;
    }
  }
  return true;
}
