// The packets of the PAR 2.0 format ("Parity Volume Set Specification 2.0"), as a set's recovery
// files hold them: each packet is a header (a magic sequence, the packet's length, its MD5, the
// recovery set ID and its type) and a body, every integer little-endian and every field a
// multiple of 4 bytes long. The pieces of a set are its input files, one slice each.
//
// Only what the recovery pieces of a split need is written (the main, file description, input
// file slice checksum, recovery slice and creator packets), and only the main and file
// description packets are read back: the checksum list, not the slices' checksums, says whether
// a piece is whole.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/md5.h"

// A recovery set ID or a file ID: an MD5.
typedef std::array<unsigned char, kMd5Bytes> Par2Id;

constexpr size_t kPacketHeaderBytes = 64;
// A recovery slice packet's header, then the exponent; its data follows.
constexpr size_t kRecoveryHeadBytes = kPacketHeaderBytes + 4;
// What a recovery slice packet's MD5 covers before its data: the set ID, the type, the exponent.
constexpr size_t kRecoveryPrefixBytes = 16 + 16 + 4;

enum class PacketType {
  kMain,
  kFileDescription,
  kSliceChecksums,
  kRecoverySlice,
  kCreator,
  kOther
};

// What a file description packet says of one input file.
struct FileDescription {
  Par2Id id;
  Par2Id md5;          // of the whole file
  Par2Id md5First16k;  // of its first 16 KiB (of all of it when it is shorter)
  uint64_t length;
  std::string name;  // without a folder: the piece's name
};

// The MD5 and CRC-32 of one input slice, zero-padded to the slice size.
struct SliceCheck {
  Par2Id md5;
  uint32_t crc;
};

// A file's ID: the MD5 of its MD5-16k, its length and its name.
Par2Id FileIdOf(const Par2Id& md5First16k, uint64_t length, const std::string& name);
// Whether file ID `a` comes before `b` in the main packet, which lists them in order as 16-byte
// numbers; like the common tools, the last byte weighs most. The order gives each input slice
// its constant.
bool FileIdBefore(const Par2Id& a, const Par2Id& b);

// Packet bodies.
std::string MainBody(uint64_t sliceSize, const std::vector<Par2Id>& sortedIds);
std::string FileDescriptionBody(const FileDescription& file);
std::string SliceChecksumBody(const Par2Id& fileId, const SliceCheck& slice);
std::string CreatorBody();
// The set ID of the set whose main packet has `mainBody`: its MD5.
Par2Id SetIdOf(const std::string& mainBody);
// A whole packet of the set: its header, with the MD5 of what follows the MD5, and the body.
std::string MakePacket(const Par2Id& setId, PacketType type, const std::string& body);

// A recovery slice packet is written in two parts, because its MD5 covers data that arrives a
// stripe at a time: the first bytes its MD5 covers, and, once the MD5 of all of it is known, the
// head that goes before the data in the file.
void RecoveryPrefix(const Par2Id& setId, uint32_t exponent,
                    unsigned char prefix[kRecoveryPrefixBytes]);
void RecoveryHead(const Par2Id& setId, uint32_t exponent, uint64_t sliceSize, const Par2Id& md5,
                  unsigned char head[kRecoveryHeadBytes]);

// A packet header as it stands in a file.
struct PacketHeader {
  uint64_t length;  // of the whole packet
  Par2Id md5;
  Par2Id setId;
  PacketType type;
};
// Reads a header at `bytes` (kPacketHeaderBytes of them). False when they are no header: another
// magic sequence, or a length below a header's or not a multiple of 4.
bool ReadPacketHeader(const unsigned char* bytes, PacketHeader* header);
// Whether `body` is the body of the packet with `header`: its MD5 matches.
bool PacketBodyMatches(const PacketHeader& header, const std::string& body);
// Reads a main packet's body, or a file description's. False for one that is not whole.
bool ParseMainBody(const std::string& body, uint64_t* sliceSize, std::vector<Par2Id>* ids);
bool ParseFileDescriptionBody(const std::string& body, FileDescription* file);
// The 8-byte magic sequence that begins every packet.
extern const unsigned char kPacketMagic[8];
