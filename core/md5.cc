// MD5 of one stream, the padding, the hashing of several streams in groups, and the choice
// of path.
#include "core/md5.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/block_lanes.h"
#include "core/md5_rounds.h"

namespace {

constexpr uint32_t kInitial[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
// The widest path there is: 32 streams in two 512-bit registers.
constexpr size_t kMaxWidth = 32;

uint32_t LoadLittleEndian32(const unsigned char* bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
         uint32_t{bytes[3]} << 24;
}

void Blocks(uint32_t state[4], const unsigned char* blocks, size_t count) {
  for (; count > 0; --count, blocks += 64) {
    uint32_t words[16];
    for (int i = 0; i < 16; ++i) words[i] = LoadLittleEndian32(blocks + 4 * i);
    Md5Steps(state, words);
  }
}

void PortableLaneBlocks(Md5* const* hashes, const unsigned char* const* blocks, size_t lanes,
                        size_t count) {
  for (size_t lane = 0; lane < lanes; ++lane) Blocks(hashes[lane]->state, blocks[lane], count);
}

struct PathList {
  Md5LanePath paths[8];
  size_t count;
};

// Puts `path` after every path of the list at least as wide.
void Insert(PathList& list, const Md5LanePath& path) {
  size_t at = list.count++;
  for (; at > 0 && list.paths[at - 1].width < path.width; --at) list.paths[at] = list.paths[at - 1];
  list.paths[at] = path;
}

// The vector paths widest first, of two of the same width AVX-512's first (the faster).
PathList ListPaths() {
  PathList list{};
  for (const auto paths : {Md5Avx512LanePaths(), Md5VectorLanePaths()}) {
    for (const Md5LanePath& path : paths) {
      if (list.count + 1 < std::size(list.paths)) Insert(list, path);
    }
  }
  list.paths[list.count++] = {"portable", 1, PortableLaneBlocks};
  return list;
}

// Asked once, before main. Before then the list is empty and the portable path does the work.
const PathList gPaths = ListPaths();

// The path for a group of `left` streams, fewer than `path` takes at once. A block of a group
// on any vector path took about as long as two or three blocks of one stream alone, whatever
// the number of its streams in use (filecut_bench kernels): one or two streams go alone, more
// go together on the narrowest vector path that takes them all, no wider than `path`.
const Md5LanePath& PathForRest(const Md5LanePath& path, size_t left) {
  const Md5LanePath* best = &path;
  for (size_t i = 0; i < gPaths.count; ++i) {
    const Md5LanePath& other = gPaths.paths[i];
    if (other.width < best->width && (left < 3 ? other.width == 1 : other.width >= left)) {
      best = &other;
    }
  }
  return *best;
}

// Compresses `count` blocks of every stream, from data[i] + offset, or from the stream's own
// partial block where data is null.
void RunBlocks(const Md5LanePath& path, Md5* const* hashes, const unsigned char* const* data,
               size_t offset, size_t lanes, size_t count) {
  for (size_t at = 0; at < lanes;) {
    const Md5LanePath& use = lanes - at >= path.width ? path : PathForRest(path, lanes - at);
    const size_t group = std::min(use.width, lanes - at);
    const unsigned char* blocks[kMaxWidth];
    for (size_t i = 0; i < group; ++i) {
      blocks[i] = data != nullptr ? data[at + i] + offset : hashes[at + i]->partial;
    }
    use.blocks(hashes + at, blocks, group, count);
    at += group;
  }
}

}  // namespace

void Md5Begin(Md5* hash) {
  std::memcpy(hash->state, kInitial, sizeof kInitial);
  hash->length = 0;
}

void Md5Add(Md5* hash, const void* bytes, size_t count) {
  if (count == 0) return;
  const unsigned char* in = static_cast<const unsigned char*>(bytes);
  const size_t held = static_cast<size_t>(hash->length % 64);
  hash->length += count;
  if (held > 0) {
    const size_t take = std::min(count, 64 - held);
    std::memcpy(hash->partial + held, in, take);
    if (held + take < 64) return;
    Blocks(hash->state, hash->partial, 1);
    in += take;
    count -= take;
  }
  // Whole blocks straight from the caller's bytes.
  Blocks(hash->state, in, count / 64);
  in += count - count % 64;
  count %= 64;
  if (count > 0) std::memcpy(hash->partial, in, count);
}

void Md5End(const Md5* hash, unsigned char digest[kMd5Bytes]) {
  // The message is followed by one 1 bit, zeros up to 8 bytes before the end of a block, and
  // its length in bits as a 64-bit little-endian number (modulo 2^64); on a copy of the state.
  uint32_t state[4];
  std::memcpy(state, hash->state, sizeof state);
  unsigned char last[64];
  const size_t held = static_cast<size_t>(hash->length % 64);
  std::memcpy(last, hash->partial, held);
  last[held] = 0x80;
  std::memset(last + held + 1, 0, 63 - held);
  if (held >= 56) {
    Blocks(state, last, 1);
    std::memset(last, 0, 56);
  }
  const uint64_t bits = hash->length << 3;
  for (int i = 0; i < 8; ++i) last[56 + i] = static_cast<unsigned char>(bits >> (8 * i));
  Blocks(state, last, 1);
  for (int i = 0; i < 16; ++i)
    digest[i] = static_cast<unsigned char>(state[i / 4] >> (8 * (i % 4)));
}

void Md5AddLanesOn(const Md5LanePath& path, Md5* const* hashes, const unsigned char* const* data,
                   size_t lanes, size_t count) {
  AddToLanes(hashes, data, lanes, count,
             [&](const unsigned char* const* from, size_t offset, size_t blocks) {
               RunBlocks(path, hashes, from, offset, lanes, blocks);
             });
}

void Md5AddLanes(Md5* const* hashes, const unsigned char* const* data, size_t lanes, size_t count) {
  Md5AddLanesOn(gPaths.count > 0 ? gPaths.paths[0] : Md5LanePath{"portable", 1, PortableLaneBlocks},
                hashes, data, lanes, count);
}

std::span<const Md5LanePath> Md5LanePaths() {
  return {gPaths.paths, gPaths.count};
}
