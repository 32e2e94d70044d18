// The path of the SHA extensions of x86 processors (with SSSE3 and SSE4.1 for the byte order
// and the moves between the two layouts of the state), compiled for those instructions alone;
// the rest of the program keeps its baseline (SSE2 on i686).
#include <cpuid.h>
#include <immintrin.h>

#include "core/sha256_blocks.h"

namespace {

// The hash state lives in two registers as the SHA instructions want it: words a, b, e, f in
// one and c, d, g, h in the other, each from the highest lane down. Each of the sixteen steps
// of a block is four rounds, two sha256rnds2 with four message words in one register; the four
// registers of words take turns, and each is refilled with the words of a later step while the
// rounds run. On i686, with eight XMM registers, msg2 comes after the second sha256rnds2, where
// palignr can work in the register of `input`; then only half of the state from before the
// block has to wait on the stack (about 5% faster there than msg2 between the two).
__attribute__((target("sha,ssse3,sse4.1"))) void ExtensionBlocks(uint32_t state[8],
                                                                 const unsigned char* blocks,
                                                                 size_t count) {
  // Reverses the bytes of each 32-bit word: the message is big-endian.
  const __m128i byteOrder = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
  const __m128i* constants = reinterpret_cast<const __m128i*>(kSha256RoundConstants);

  // The state's words in memory, a to h, go into the two registers. The names list the lanes
  // from the highest down.
  const __m128i cdab = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<__m128i*>(state)), 0xB1);
  const __m128i efgh =
      _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<__m128i*>(state + 4)), 0x1B);
  __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
  __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

  for (; count > 0; --count, blocks += 64) {
    const __m128i abefBefore = abef;
    const __m128i cdghBefore = cdgh;
    __m128i words[4];
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) {
      __m128i& now = words[i & 3];
      if (i < 4) {
        now = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i)),
                               byteOrder);
      }
      __m128i input = _mm_add_epi32(now, _mm_load_si128(constants + i));
      cdgh = _mm_sha256rnds2_epu32(cdgh, abef, input);
      input = _mm_shuffle_epi32(input, 0x0E);
      abef = _mm_sha256rnds2_epu32(abef, cdgh, input);
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
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
  }

  // And back to memory.
  const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

constexpr Sha256Path kExtensionPaths[] = {{"shani", ExtensionBlocks}};

}  // namespace

std::span<const Sha256Path> Sha256ExtensionPaths() {
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return {};
  if ((ecx & bit_SSSE3) == 0 || (ecx & bit_SSE4_1) == 0) return {};
  if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return {};
  if ((ebx & bit_SHA) == 0) return {};
  return kExtensionPaths;
}
