// What the files of SHA-256 on the SHA extensions of x86 processors share: the state in the two
// registers that the SHA instructions take, and one step of four rounds, compiled into each
// function for those instructions alone (with SSSE3 and SSE4.1 for the byte order and the moves
// between the two layouts of the state).
#pragma once

#include <immintrin.h>

#include <type_traits>

#include "core/sha256_blocks.h"

// The hash state lives in two registers as the SHA instructions want it: words a, b, e, f in
// one and c, d, g, h in the other, each from the highest lane down.
struct ShaRegisters {
  __m128i abef, cdgh;
};

__attribute__((target("sha,ssse3,sse4.1"), always_inline)) inline ShaRegisters ShaLoadState(
    const uint32_t state[8]) {
  // The state's words in memory, a to h, go into the two registers. The names list the lanes
  // from the highest down.
  const __m128i cdab =
      _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
  const __m128i efgh =
      _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
  return {_mm_alignr_epi8(cdab, efgh, 8), _mm_blend_epi16(efgh, cdab, 0xF0)};
}

__attribute__((target("sha,ssse3,sse4.1"), always_inline)) inline void ShaStoreState(
    const ShaRegisters& hash, uint32_t state[8]) {
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
__attribute__((target("sha,ssse3,sse4.1"), always_inline)) inline void ShaStep(
    int i, const unsigned char* block, ShaRegisters& hash, __m128i words[4]) {
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

// `streams` streams at once, their steps taking turns: each sha256rnds2 waits on the one before
// it of its stream, and meanwhile the other streams' rounds run. `Streams` is either a count the
// compiler knows (std::integral_constant, up to 8), whose loops over the streams unroll so that
// their states can stay in registers, or a size_t from 2 to 8, counted in loops.
template <typename Streams>
__attribute__((target("sha,ssse3,sse4.1"), always_inline)) inline void ShaInterleavedBlocks(
    Sha256* const* hashes, const unsigned char* const* blocks, Streams streams, size_t count) {
  // As many as there can be: the count itself where the compiler knows it.
  constexpr size_t most = std::conditional_t<std::is_same_v<Streams, size_t>,
                                             std::integral_constant<size_t, 8>, Streams>::value;
  ShaRegisters hash[most];
  for (size_t s = 0; s < streams; ++s) hash[s] = ShaLoadState(hashes[s]->state);
  for (size_t offset = 0; offset < 64 * count; offset += 64) {
    ShaRegisters before[most];
    __m128i words[most][4];
    for (size_t s = 0; s < streams; ++s) before[s] = hash[s];
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) {
      if constexpr (std::is_same_v<Streams, size_t>) {
#pragma GCC unroll 1
        for (size_t s = 0; s < streams; ++s) ShaStep(i, blocks[s] + offset, hash[s], words[s]);
      } else {
#pragma GCC unroll 8
        for (size_t s = 0; s < Streams::value; ++s) {
          ShaStep(i, blocks[s] + offset, hash[s], words[s]);
        }
      }
    }
    for (size_t s = 0; s < streams; ++s) {
      hash[s].abef = _mm_add_epi32(hash[s].abef, before[s].abef);
      hash[s].cdgh = _mm_add_epi32(hash[s].cdgh, before[s].cdgh);
    }
  }
  for (size_t s = 0; s < streams; ++s) ShaStoreState(hash[s], hashes[s]->state);
}

// The compression of one stream, and of several (at most 8) side by side.
void Sha256ExtensionBlocks(uint32_t state[8], const unsigned char* blocks, size_t count);
void Sha256InterleavedBlocks(Sha256* const* hashes, const unsigned char* const* blocks,
                             size_t lanes, size_t count);
