// SHA-256 on the SHA extensions of x86 processors (with SSSE3 and SSE4.1 for the byte order
// and the moves between the two layouts of the state), for one stream and for several side by
// side, compiled for those instructions alone; the rest of the program keeps its baseline (SSE2
// on i686).
#include <cpuid.h>
#include <immintrin.h>

#include "core/sha256_blocks.h"

namespace {

// The hash state lives in two registers as the SHA instructions want it: words a, b, e, f in
// one and c, d, g, h in the other, each from the highest lane down.
struct Registers {
  __m128i abef, cdgh;
};

__attribute__((target("sha,ssse3,sse4.1"), always_inline)) inline Registers LoadState(
    const uint32_t state[8]) {
  // The state's words in memory, a to h, go into the two registers. The names list the lanes
  // from the highest down.
  const __m128i cdab =
      _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
  const __m128i efgh =
      _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
  return {_mm_alignr_epi8(cdab, efgh, 8), _mm_blend_epi16(efgh, cdab, 0xF0)};
}

__attribute__((target("sha,ssse3,sse4.1"), always_inline)) inline void StoreState(
    const Registers& hash, uint32_t state[8]) {
  const __m128i feba = _mm_shuffle_epi32(hash.abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(hash.cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

// Step i of the sixteen of a block: four rounds, two sha256rnds2 with four message words in one
// register. The four registers of words take turns, and each is refilled with the words of a
// later step while the rounds run. On i686, with eight XMM registers, msg2 comes after the
// second sha256rnds2, where palignr can work in the register of `input`; then only half of the
// state from before the block has to wait on the stack (about 5% faster there than msg2 between
// the two).
__attribute__((target("sha,ssse3,sse4.1"), always_inline)) inline void Step(
    int i, const unsigned char* block, Registers& hash, __m128i words[4]) {
  // Reverses the bytes of each 32-bit word: the message is big-endian.
  const __m128i byteOrder = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
  __m128i& now = words[i & 3];
  if (i < 4) {
    now = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i)),
                           byteOrder);
  }
  __m128i input = _mm_add_epi32(
      now, _mm_load_si128(reinterpret_cast<const __m128i*>(kSha256RoundConstants) + i));
  hash.cdgh = _mm_sha256rnds2_epu32(hash.cdgh, hash.abef, input);
  input = _mm_shuffle_epi32(input, 0x0E);
  hash.abef = _mm_sha256rnds2_epu32(hash.abef, hash.cdgh, input);
  // The words of step i + 1: msg1 began them three steps ago, msg2 finishes them.
  if (i >= 3 && i < 15) {
    __m128i& next = words[(i + 1) & 3];
    next = _mm_add_epi32(next, _mm_alignr_epi8(now, words[(i - 1) & 3], 4));
    next = _mm_sha256msg2_epu32(next, now);
  }
  // msg1 begins the words of step i + 3.
  if (i >= 1 && i < 13) {
    __m128i& before = words[(i - 1) & 3];
    before = _mm_sha256msg1_epu32(before, now);
  }
}

__attribute__((target("sha,ssse3,sse4.1"))) void ExtensionBlocks(uint32_t state[8],
                                                                 const unsigned char* blocks,
                                                                 size_t count) {
  Registers hash = LoadState(state);
  for (; count > 0; --count, blocks += 64) {
    const Registers before = hash;
    __m128i words[4];
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) Step(i, blocks, hash, words);
    hash.abef = _mm_add_epi32(hash.abef, before.abef);
    hash.cdgh = _mm_add_epi32(hash.cdgh, before.cdgh);
  }
  StoreState(hash, state);
}

// `streams` streams at once, their steps taking turns: each sha256rnds2 waits on the one
// before it of its stream, and meanwhile the other streams' rounds run. The SHA instructions
// reach only the first 16 XMM registers (8 on i686), too few for the words of 8 streams, but 8
// streams measured faster all the same than 4 (by a tenth) and 2 (by a third), and 4 no slower
// with only 8 registers.
template <int streams>
__attribute__((target("sha,ssse3,sse4.1"))) void InterleavedBlocks(
    Sha256* const* hashes, const unsigned char* const* blocks, size_t count) {
  Registers hash[streams];
  for (int s = 0; s < streams; ++s) hash[s] = LoadState(hashes[s]->state);
  for (size_t offset = 0; offset < 64 * count; offset += 64) {
    Registers before[streams];
    __m128i words[streams][4];
    for (int s = 0; s < streams; ++s) before[s] = hash[s];
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) {
#pragma GCC unroll 8
      for (int s = 0; s < streams; ++s) Step(i, blocks[s] + offset, hash[s], words[s]);
    }
    for (int s = 0; s < streams; ++s) {
      hash[s].abef = _mm_add_epi32(hash[s].abef, before[s].abef);
      hash[s].cdgh = _mm_add_epi32(hash[s].cdgh, before[s].cdgh);
    }
  }
  for (int s = 0; s < streams; ++s) StoreState(hash[s], hashes[s]->state);
}

// Up to 8 streams: as many as there are at once, as 8, 4, 2 and 1, each of which takes about as
// long per block as one stream alone times 4.3, 2.3, 1.4 and 1.
void InterleavedLaneBlocks(Sha256* const* hashes, const unsigned char* const* blocks, size_t lanes,
                           size_t count) {
  if (lanes >= 8) return InterleavedBlocks<8>(hashes, blocks, count);
  if (lanes & 4) InterleavedBlocks<4>(hashes, blocks, count);
  if (lanes & 2) InterleavedBlocks<2>(hashes + (lanes & 4), blocks + (lanes & 4), count);
  if (lanes & 1) ExtensionBlocks(hashes[lanes - 1]->state, blocks[lanes - 1], count);
}

constexpr Sha256Path kExtensionPaths[] = {{"shani", ExtensionBlocks}};
constexpr Sha256LanePath kExtensionLanePaths[] = {{"shanix8", 8, InterleavedLaneBlocks}};

bool HasShaExtensions() {
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  if ((ecx & bit_SSSE3) == 0 || (ecx & bit_SSE4_1) == 0) return false;
  if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return false;
  return (ebx & bit_SHA) != 0;
}

}  // namespace

std::span<const Sha256Path> Sha256ExtensionPaths() {
  if (!HasShaExtensions()) return {};
  return kExtensionPaths;
}

std::span<const Sha256LanePath> Sha256ExtensionLanePaths() {
  if (!HasShaExtensions()) return {};
  return kExtensionLanePaths;
}
