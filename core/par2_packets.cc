#include "core/par2_packets.h"

#include <algorithm>
#include <cstring>

const unsigned char kPacketMagic[8] = {'P', 'A', 'R', '2', '\0', 'P', 'K', 'T'};

namespace {

// The types, 16 bytes each, in the order of PacketType.
const char kTypes[][17] = {
    "PAR 2.0\0Main\0\0\0\0", "PAR 2.0\0FileDesc",  "PAR 2.0\0IFSC\0\0\0\0",
    "PAR 2.0\0RecvSlic",     "PAR 2.0\0Creator\0",
};
constexpr int kKnownTypes = 5;

// Names the program in every file it writes, as the format asks.
constexpr char kCreator[] = "filecut";

void AddUint(std::string* out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

void AddId(std::string* out, const Par2Id& id) {
  out->append(reinterpret_cast<const char*>(id.data()), id.size());
}

uint64_t ReadUint(const unsigned char* bytes, int count) {
  uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

Par2Id ReadId(const unsigned char* bytes) {
  Par2Id id;
  std::memcpy(id.data(), bytes, id.size());
  return id;
}

Par2Id Md5Of(const void* bytes, size_t count) {
  Md5 hash;
  Md5Begin(&hash);
  Md5Add(&hash, bytes, count);
  Par2Id digest;
  Md5End(&hash, digest.data());
  return digest;
}

const unsigned char* Bytes(const std::string& text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

}  // namespace

Par2Id FileIdOf(const Par2Id& md5First16k, uint64_t length, const std::string& name) {
  std::string fields;
  AddId(&fields, md5First16k);
  AddUint(&fields, length, 8);
  fields += name;  // without the padding of the file description
  return Md5Of(fields.data(), fields.size());
}

bool FileIdBefore(const Par2Id& a, const Par2Id& b) {
  return std::lexicographical_compare(a.rbegin(), a.rend(), b.rbegin(), b.rend());
}

std::string MainBody(uint64_t sliceSize, const std::vector<Par2Id>& sortedIds) {
  std::string body;
  AddUint(&body, sliceSize, 8);
  AddUint(&body, sortedIds.size(), 4);
  for (const Par2Id& id : sortedIds) AddId(&body, id);
  return body;
}

std::string FileDescriptionBody(const FileDescription& file) {
  std::string body;
  AddId(&body, file.id);
  AddId(&body, file.md5);
  AddId(&body, file.md5First16k);
  AddUint(&body, file.length, 8);
  body += file.name;
  body.resize((body.size() + 3) / 4 * 4, '\0');
  return body;
}

std::string SliceChecksumBody(const Par2Id& fileId, const SliceCheck& slice) {
  std::string body;
  AddId(&body, fileId);
  AddId(&body, slice.md5);
  AddUint(&body, slice.crc, 4);
  return body;
}

std::string CreatorBody() {
  std::string body = kCreator;
  body.resize((body.size() + 3) / 4 * 4, '\0');
  return body;
}

Par2Id SetIdOf(const std::string& mainBody) {
  return Md5Of(mainBody.data(), mainBody.size());
}

std::string MakePacket(const Par2Id& setId, PacketType type, const std::string& body) {
  std::string packet(reinterpret_cast<const char*>(kPacketMagic), sizeof kPacketMagic);
  AddUint(&packet, kPacketHeaderBytes + body.size(), 8);
  packet.append(16, '\0');  // the MD5, below
  AddId(&packet, setId);
  packet.append(kTypes[static_cast<int>(type)], 16);
  packet += body;
  const Par2Id md5 = Md5Of(packet.data() + 32, packet.size() - 32);
  std::memcpy(&packet[16], md5.data(), md5.size());
  return packet;
}

void RecoveryPrefix(const Par2Id& setId, uint32_t exponent,
                    unsigned char prefix[kRecoveryPrefixBytes]) {
  std::memcpy(prefix, setId.data(), 16);
  std::memcpy(prefix + 16, kTypes[static_cast<int>(PacketType::kRecoverySlice)], 16);
  for (int i = 0; i < 4; ++i) prefix[32 + i] = static_cast<unsigned char>(exponent >> (8 * i));
}

void RecoveryHead(const Par2Id& setId, uint32_t exponent, uint64_t sliceSize, const Par2Id& md5,
                  unsigned char head[kRecoveryHeadBytes]) {
  std::string start(reinterpret_cast<const char*>(kPacketMagic), sizeof kPacketMagic);
  AddUint(&start, kRecoveryHeadBytes + sliceSize, 8);
  AddId(&start, md5);
  std::memcpy(head, start.data(), start.size());
  RecoveryPrefix(setId, exponent, head + start.size());
}

bool ReadPacketHeader(const unsigned char* bytes, PacketHeader* header) {
  if (std::memcmp(bytes, kPacketMagic, sizeof kPacketMagic) != 0) return false;
  header->length = ReadUint(bytes + 8, 8);
  if (header->length < kPacketHeaderBytes || header->length % 4 != 0) return false;
  header->md5 = ReadId(bytes + 16);
  header->setId = ReadId(bytes + 32);
  header->type = PacketType::kOther;
  for (int type = 0; type < kKnownTypes; ++type) {
    if (std::memcmp(bytes + 48, kTypes[type], 16) == 0)
      header->type = static_cast<PacketType>(type);
  }
  return true;
}

bool PacketBodyMatches(const PacketHeader& header, const std::string& body) {
  if (body.size() != header.length - kPacketHeaderBytes) return false;
  Md5 hash;
  Md5Begin(&hash);
  Md5Add(&hash, header.setId.data(), header.setId.size());
  Md5Add(&hash, kTypes[static_cast<int>(header.type)], 16);
  Md5Add(&hash, body.data(), body.size());
  Par2Id md5;
  Md5End(&hash, md5.data());
  return header.type != PacketType::kOther && md5 == header.md5;
}

bool ParseMainBody(const std::string& body, uint64_t* sliceSize, std::vector<Par2Id>* ids) {
  if (body.size() < 12) return false;
  *sliceSize = ReadUint(Bytes(body), 8);
  const uint64_t count = ReadUint(Bytes(body) + 8, 4);
  // The IDs of the recovery set; those of a non-recovery set may follow.
  if (*sliceSize == 0 || *sliceSize % 4 != 0 || count > (body.size() - 12) / 16) return false;
  ids->clear();
  for (uint64_t i = 0; i < count; ++i) ids->push_back(ReadId(Bytes(body) + 12 + 16 * i));
  return true;
}

bool ParseFileDescriptionBody(const std::string& body, FileDescription* file) {
  if (body.size() < 56) return false;
  file->id = ReadId(Bytes(body));
  file->md5 = ReadId(Bytes(body) + 16);
  file->md5First16k = ReadId(Bytes(body) + 32);
  file->length = ReadUint(Bytes(body) + 48, 8);
  // The name is padded with up to three zero bytes.
  size_t end = body.size();
  while (end > 56 && body[end - 1] == '\0') --end;
  file->name.assign(body, 56, end - 56);
  return true;
}
