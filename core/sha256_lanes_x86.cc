// Several SHA-256 streams side by side on x86 processors, one in each 32-bit lane of a vector
// register: 4 in SSE2's (always there: the program requires SSE2), 8 with AVX2, 16 with
// AVX-512, for processors without SHA extensions. Each path is compiled for its instructions
// alone; the rest of the program keeps its baseline.
#include "core/lanes_x86.h"
#include "core/sha256_blocks.h"

namespace {

// The vectors go by reference: passed by value, they would take another way through calls in
// code for a processor with wider registers than the caller's, and the compiler warns of that.

// out = x rotated right by r1, by r2 and by r3 (or shifted right by r3), all XORed: the mixing
// functions of SHA-256.
template <int r1, int r2, int r3, bool shift3, typename Lanes>
[[gnu::always_inline]] inline void Mix(const Lanes& x, Lanes& out) {
  const Lanes third = shift3 ? x >> r3 : (x >> r3) | (x << (32 - r3));
  out = ((x >> r1) | (x << (32 - r1))) ^ ((x >> r2) | (x << (32 - r2))) ^ third;
}

// The message is big-endian, the processor little-endian: the bytes of each word swap.
template <typename Lanes>
[[gnu::always_inline]] inline void SwapBytes(Lanes& x) {
  x = ((x >> 8) & 0x00FF00FF) | ((x << 8) & 0xFF00FF00);
  x = (x >> 16) | (x << 16);
}

// Sixteen rounds from round `first` on (a multiple of 16). Unrolled, every index is a
// constant, so the eight working variables change names instead of places: in round i, a is
// v[-i mod 8], b the next, and so on; only d (the new e) and h (the new a) change. Past the
// first sixteen rounds, each replaces the word of sixteen rounds before with the next one of the
// schedule.
template <bool schedule, typename Lanes>
[[gnu::always_inline]] inline void SixteenRounds(const uint32_t* constants, Lanes v[8],
                                                 Lanes w[16]) {
#pragma GCC unroll 16
  for (int i = 0; i < 16; ++i) {
    if (schedule) {
      Lanes back2, back15;
      Mix<17, 19, 10, true>(w[(i + 14) & 15], back2);
      Mix<7, 18, 3, true>(w[(i + 1) & 15], back15);
      w[i] += back2 + w[(i + 9) & 15] + back15;
    }
    const Lanes a = v[-i & 7], b = v[(1 - i) & 7], c = v[(2 - i) & 7];
    const Lanes e = v[(4 - i) & 7], f = v[(5 - i) & 7], g = v[(6 - i) & 7];
    Lanes& d = v[(3 - i) & 7];
    Lanes& h = v[(7 - i) & 7];
    Lanes mixedE, mixedA;
    Mix<6, 11, 25, false>(e, mixedE);
    Mix<2, 13, 22, false>(a, mixedA);
    const Lanes t1 = h + constants[i] + w[i] + mixedE + (((f ^ g) & e) ^ g);
    const Lanes t2 = mixedA + ((a & b) | (c & (a | b)));
    d += t1;
    h = t1 + t2;
  }
}

// The 64 rounds over one block of every lane's stream, from its sixteen message words, added to
// `state`: the first sixteen, then three times sixteen with the schedule, in a loop (unrolled
// whole, the code was twice as large and no faster).
template <typename Lanes>
[[gnu::always_inline]] inline void Rounds(Lanes state[8], Lanes w[16]) {
  Lanes v[8];
  for (int k = 0; k < 8; ++k) v[k] = state[k];
  SixteenRounds<false>(kSha256RoundConstants, v, w);
  for (int first = 16; first < 64; first += 16) {
    SixteenRounds<true>(kSha256RoundConstants + first, v, w);
  }
  for (int k = 0; k < 8; ++k) state[k] += v[k];
}

void Sse2Blocks(Sha256* const* hashes, const unsigned char* const* blocks, size_t lanes,
                size_t count) {
  Lanes4 state[8], words[16];
  const unsigned char* from[4];
  LoadLaneStates<Lanes4, 4, 8>(hashes, lanes, state);
  LaneSources<4>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Sse2LaneWords(from, 64 * block, words);
    for (Lanes4& word : words) SwapBytes(word);
    Rounds(state, words);
  }
  StoreLaneStates<Lanes4, 4, 8>(state, lanes, hashes);
}

__attribute__((target("avx2"))) void Avx2Blocks(Sha256* const* hashes,
                                                const unsigned char* const* blocks, size_t lanes,
                                                size_t count) {
  Lanes8 state[8], words[16];
  const unsigned char* from[8];
  LoadLaneStates<Lanes8, 8, 8>(hashes, lanes, state);
  LaneSources<8>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx2LaneWords(from, 64 * block, words);
    for (Lanes8& word : words) SwapBytes(word);
    Rounds(state, words);
  }
  StoreLaneStates<Lanes8, 8, 8>(state, lanes, hashes);
}

__attribute__((target("avx512f,avx512vl"))) void Avx512Blocks(Sha256* const* hashes,
                                                              const unsigned char* const* blocks,
                                                              size_t lanes, size_t count) {
  Lanes16 state[8], words[16];
  const unsigned char* from[16];
  LoadLaneStates<Lanes16, 16, 8>(hashes, lanes, state);
  LaneSources<16>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx512LaneWords(from, 64 * block, words);
    for (Lanes16& word : words) SwapBytes(word);
    Rounds(state, words);
  }
  StoreLaneStates<Lanes16, 16, 8>(state, lanes, hashes);
}

__attribute__((target("avx512f,avx512vl"))) void Avx512Blocks8(Sha256* const* hashes,
                                                               const unsigned char* const* blocks,
                                                               size_t lanes, size_t count) {
  Lanes8 state[8], words[16];
  const unsigned char* from[8];
  LoadLaneStates<Lanes8, 8, 8>(hashes, lanes, state);
  LaneSources<8>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx2LaneWords(from, 64 * block, words);
    for (Lanes8& word : words) SwapBytes(word);
    Rounds(state, words);
  }
  StoreLaneStates<Lanes8, 8, 8>(state, lanes, hashes);
}

// A group takes as long whether its lanes are all in use or not, so that few streams go
// better one at a time on the portable path: a block of a group took about as long as 1.5
// blocks of one stream there with AVX-512 on 256 bits (1.75 on 512), 2.4 with AVX2 and 2.5 with
// SSE2 (filecut_bench kernels, x86-64), and 2.2 to 2.9 with only the 8 vector registers of i686
// (measured with the compiler kept off the others).
void Avx512Lanes(Sha256* const* hashes, const unsigned char* const* blocks, size_t lanes,
                 size_t count) {
  if (lanes > 8) return Avx512Blocks(hashes, blocks, lanes, count);
  if (lanes > 1) return Avx512Blocks8(hashes, blocks, lanes, count);
  Sha256PortableLaneBlocks(hashes, blocks, lanes, count);
}

void Avx2Lanes(Sha256* const* hashes, const unsigned char* const* blocks, size_t lanes,
               size_t count) {
  if (lanes > 2) return Avx2Blocks(hashes, blocks, lanes, count);
  Sha256PortableLaneBlocks(hashes, blocks, lanes, count);
}

void Sse2Lanes(Sha256* const* hashes, const unsigned char* const* blocks, size_t lanes,
               size_t count) {
  if (lanes > 2) return Sse2Blocks(hashes, blocks, lanes, count);
  Sha256PortableLaneBlocks(hashes, blocks, lanes, count);
}

// Fastest first: a CPU without AVX-512 runs the last two, one without AVX2 the last.
constexpr Sha256LanePath kPaths[] = {
    {"avx512x16", 16, Avx512Lanes}, {"avx2x8", 8, Avx2Lanes}, {"sse2x4", 4, Sse2Lanes}};

}  // namespace

std::span<const Sha256LanePath> Sha256VectorLanePaths() {
  switch (WidestLaneRegisters()) {
    case LaneRegisters::kAvx512:
      return kPaths;
    case LaneRegisters::kAvx2:
      return std::span(kPaths).subspan(1);
    case LaneRegisters::kSse2:
      break;
  }
  return std::span(kPaths).subspan(2);
}
