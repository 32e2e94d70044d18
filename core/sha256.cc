// The portable block function, the padding, and the choice of path for one stream.
#include "core/sha256.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <type_traits>

#include "core/sha256_blocks.h"

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes.
alignas(16) const uint32_t kSha256RoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

namespace {

// The state before the first block: the first 32 bits of the fractional parts of the square
// roots of the first eight primes.
constexpr uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                  0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

uint32_t LoadBigEndian(const unsigned char* bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 |
         uint32_t{bytes[3]};
}

void StoreBigEndian(uint32_t value, unsigned char* bytes) {
  bytes[0] = static_cast<unsigned char>(value >> 24);
  bytes[1] = static_cast<unsigned char>(value >> 16);
  bytes[2] = static_cast<unsigned char>(value >> 8);
  bytes[3] = static_cast<unsigned char>(value);
}

// One round. The eight working variables stay where they are; the caller names them in turn,
// one place further each round, so that no round moves seven of them along. Only d and h
// change: d becomes the new e, and h the new a. `kw` is the round constant plus the message
// word. Maj is written with a ^ b, which is the next round's b ^ c: unrolled, the compiler
// works it out once for both.
inline void Round(uint32_t a, uint32_t b, uint32_t c, uint32_t& d, uint32_t e, uint32_t f,
                  uint32_t g, uint32_t& h, uint32_t kw) {
  const uint32_t t1 =
      h + kw + (std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25)) + (((f ^ g) & e) ^ g);
  const uint32_t t2 =
      (std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22)) + (((a ^ b) & (b ^ c)) ^ b);
  d += t1;
  h = t1 + t2;
}

// Word i of the sixteen message words of the rounds from `round` on. The first sixteen are the
// block's; each later one replaces the word sixteen rounds before it, worked out from that
// word and three more of the last sixteen. `round` is a constant of its type for the first
// sixteen rounds, so that their code has no test.
template <typename Round0>
inline uint32_t ScheduleWord(uint32_t w[16], Round0 round, int i) {
  if (round < 16) return w[i];
  const uint32_t back2 = w[(i + 14) & 15];
  const uint32_t back15 = w[(i + 1) & 15];
  w[i] += (std::rotr(back2, 17) ^ std::rotr(back2, 19) ^ (back2 >> 10)) + w[(i + 9) & 15] +
          (std::rotr(back15, 7) ^ std::rotr(back15, 18) ^ (back15 >> 3));
  return w[i];
}

// Sixteen rounds from `round` on (a multiple of 16), over the working variables, which are back
// in their places after eight rounds.
template <typename Round0>
[[gnu::always_inline]] inline void SixteenRounds(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d,
                                                 uint32_t& e, uint32_t& f, uint32_t& g, uint32_t& h,
                                                 uint32_t w[16], Round0 round) {
  const uint32_t* k = kSha256RoundConstants + round;
  Round(a, b, c, d, e, f, g, h, k[0] + ScheduleWord(w, round, 0));
  Round(h, a, b, c, d, e, f, g, k[1] + ScheduleWord(w, round, 1));
  Round(g, h, a, b, c, d, e, f, k[2] + ScheduleWord(w, round, 2));
  Round(f, g, h, a, b, c, d, e, k[3] + ScheduleWord(w, round, 3));
  Round(e, f, g, h, a, b, c, d, k[4] + ScheduleWord(w, round, 4));
  Round(d, e, f, g, h, a, b, c, k[5] + ScheduleWord(w, round, 5));
  Round(c, d, e, f, g, h, a, b, k[6] + ScheduleWord(w, round, 6));
  Round(b, c, d, e, f, g, h, a, k[7] + ScheduleWord(w, round, 7));
  Round(a, b, c, d, e, f, g, h, k[8] + ScheduleWord(w, round, 8));
  Round(h, a, b, c, d, e, f, g, k[9] + ScheduleWord(w, round, 9));
  Round(g, h, a, b, c, d, e, f, k[10] + ScheduleWord(w, round, 10));
  Round(f, g, h, a, b, c, d, e, k[11] + ScheduleWord(w, round, 11));
  Round(e, f, g, h, a, b, c, d, k[12] + ScheduleWord(w, round, 12));
  Round(d, e, f, g, h, a, b, c, k[13] + ScheduleWord(w, round, 13));
  Round(c, d, e, f, g, h, a, b, k[14] + ScheduleWord(w, round, 14));
  Round(b, c, d, e, f, g, h, a, k[15] + ScheduleWord(w, round, 15));
}

}  // namespace

void Sha256PortableBlocks(uint32_t state[8], const unsigned char* blocks, size_t count) {
  for (; count > 0; --count, blocks += 64) {
    uint32_t w[16];
    for (int i = 0; i < 16; ++i) w[i] = LoadBigEndian(blocks + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    // Every index is a constant within sixteen rounds: the words stay in registers where there
    // are enough of them, and each is worked out in the round that needs it. The first sixteen
    // have code of their own, the other 48 are a loop: unrolled whole (11 KB on i686), the
    // rounds were about 5% faster on x86-64 and 1% with its registers cut to those of i686; as
    // one loop of all four sixteens, without the first apart, 7% slower there.
    SixteenRounds(a, b, c, d, e, f, g, h, w, std::integral_constant<int, 0>());
#pragma GCC unroll 1
    for (int round = 16; round < 64; round += 16) SixteenRounds(a, b, c, d, e, f, g, h, w, round);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
  }
}

namespace {

struct PathList {
  Sha256Path paths[4];
  size_t count;
};

PathList ListPaths() {
  PathList list{};
  for (const Sha256Path& path : Sha256ExtensionPaths()) {
    if (list.count + 1 < std::size(list.paths)) list.paths[list.count++] = path;
  }
  list.paths[list.count++] = {"portable", Sha256PortableBlocks};
  return list;
}

// Asked once, before main and before any other thread exists. Should another initialiser hash
// something before this one has run, the list is still empty and the portable path does the
// work.
const PathList gPaths = ListPaths();

const Sha256Path& PathInUse() {
  static constexpr Sha256Path kPortable = {"portable", Sha256PortableBlocks};
  return gPaths.count > 0 ? gPaths.paths[0] : kPortable;
}

}  // namespace

void Sha256Begin(Sha256* hash) {
  std::memcpy(hash->state, kInitial, sizeof kInitial);
  hash->length = 0;
}

void Sha256AddOn(const Sha256Path& path, Sha256* hash, const void* bytes, size_t count) {
  if (count == 0) return;
  const unsigned char* in = static_cast<const unsigned char*>(bytes);
  const size_t held = static_cast<size_t>(hash->length % 64);
  hash->length += count;
  if (held > 0) {
    const size_t take = std::min(count, 64 - held);
    std::memcpy(hash->partial + held, in, take);
    if (held + take < 64) return;
    path.blocks(hash->state, hash->partial, 1);
    in += take;
    count -= take;
  }
  // Whole blocks straight from the caller's bytes, all in one call.
  if (count >= 64) {
    path.blocks(hash->state, in, count / 64);
    in += count - count % 64;
    count %= 64;
  }
  if (count > 0) std::memcpy(hash->partial, in, count);
}

void Sha256EndOn(const Sha256Path& path, Sha256* hash, unsigned char digest[kSha256Bytes]) {
  // The message is followed by one 1 bit, zeros up to 8 bytes before the end of a block, and
  // its length in bits as a 64-bit big-endian number (modulo 2^64).
  const size_t held = static_cast<size_t>(hash->length % 64);
  hash->partial[held] = 0x80;
  std::memset(hash->partial + held + 1, 0, 63 - held);
  if (held >= 56) {
    path.blocks(hash->state, hash->partial, 1);
    std::memset(hash->partial, 0, 56);
  }
  const uint64_t bits = hash->length << 3;
  StoreBigEndian(static_cast<uint32_t>(bits >> 32), hash->partial + 56);
  StoreBigEndian(static_cast<uint32_t>(bits), hash->partial + 60);
  path.blocks(hash->state, hash->partial, 1);
  for (int i = 0; i < 8; ++i) StoreBigEndian(hash->state[i], digest + 4 * i);
}

void Sha256Add(Sha256* hash, const void* bytes, size_t count) {
  Sha256AddOn(PathInUse(), hash, bytes, count);
}

void Sha256End(Sha256* hash, unsigned char digest[kSha256Bytes]) {
  Sha256EndOn(PathInUse(), hash, digest);
}

std::span<const Sha256Path> Sha256Paths() {
  return {gPaths.paths, gPaths.count};
}
