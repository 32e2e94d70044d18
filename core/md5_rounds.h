// What core/md5.cc shares with the per-processor files: the 64 steps of MD5's compression,
// written once for any type with the operators of a 32-bit unsigned number (uint32_t for one
// stream, or a vector of 32-bit lanes, GCC's vector extension, for several streams side by
// side), and the list of vector paths.
#pragma once

#include <cstdint>
#include <span>

#include "core/md5.h"

// The vector paths this CPU can run, widest first: those of SSE2 and AVX2, and those of
// AVX-512, which only the 64-bit builds have; none on processors other than x86. Ask the CPU
// on every call; core/md5.cc asks once.
std::span<const Md5LanePath> Md5VectorLanePaths();
std::span<const Md5LanePath> Md5Avx512LanePaths();

// The constants of the steps: the integer part of 2^32 * |sin(i + 1)|.
inline constexpr uint32_t kMd5StepConstants[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

// The left rotations of the steps: four per round, used in turn.
inline constexpr int kMd5Rotations[4][4] = {
    {7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// One step of round `round`, the `turn`-th of four in a row: a becomes b plus the rotated sum
// of a, the mixing of b, c and d, a message word and the step's constant. A step waits on the
// one before it, so what does not depend on b (the new value of the step before) is added up
// first, aside: only the mixing of b, one addition, the rotation and the addition of b are left
// in the chain.
template <int round, int turn, typename Word, typename Words>
[[gnu::always_inline]] inline void Md5Step(Word& a, const Word& b, const Word& c, const Word& d,
                                           const Words& words, int step) {
  Word aside, mixed;
  if constexpr (round == 0) {
    aside = a + words[step & 15] + kMd5StepConstants[step];
    mixed = d ^ (b & (c ^ d));  // b ? c : d
  } else if constexpr (round == 1) {
    // d ? b : c, whose two halves have no bit in common and so can be added.
    aside = a + words[(5 * step + 1) & 15] + kMd5StepConstants[step] + (c & ~d);
    mixed = b & d;
  } else if constexpr (round == 2) {
    aside = a + words[(3 * step + 5) & 15] + kMd5StepConstants[step];
    mixed = b ^ (c ^ d);
  } else {
    aside = a + words[(7 * step) & 15] + kMd5StepConstants[step];
    mixed = c ^ (b | ~d);
  }
  const Word sum = aside + mixed;
  constexpr int rotation = kMd5Rotations[round][turn];
  a = b + ((sum << rotation) | (sum >> (32 - rotation)));
}

// The sixteen steps of one round, four at a time: the four rotations of the round are
// constants, and after four steps the working variables are back in their places.
template <int round, typename Word, typename Words>
[[gnu::always_inline]] inline void Md5FourSteps(Word& a, Word& b, Word& c, Word& d,
                                                const Words& words, int step) {
  Md5Step<round, 0>(a, b, c, d, words, step);
  Md5Step<round, 1>(d, a, b, c, words, step + 1);
  Md5Step<round, 2>(c, d, a, b, words, step + 2);
  Md5Step<round, 3>(b, c, d, a, words, step + 3);
}

// For one stream in 32-bit numbers the steps are unrolled whole: every index and constant is
// known to the compiler, and the chain of a step is short enough for the rest to matter (a
// loop was a sixth slower). For vectors, whose steps take longer, a loop of four steps was as
// fast within a few percent and a quarter of the code (unrolled, about 10 KB for each vector
// path on i686).
template <int round, typename Word, typename Words>
[[gnu::always_inline]] inline void Md5Round(Word& a, Word& b, Word& c, Word& d,
                                            const Words& words) {
  if constexpr (sizeof(Word) == sizeof(uint32_t)) {
#pragma GCC unroll 4
    for (int step = 16 * round; step < 16 * round + 16; step += 4) {
      Md5FourSteps<round>(a, b, c, d, words, step);
    }
  } else {
#pragma GCC unroll 1
    for (int step = 16 * round; step < 16 * round + 16; step += 4) {
      Md5FourSteps<round>(a, b, c, d, words, step);
    }
  }
}

// Runs the 64 steps over the 16 message words of one block, words[0] to words[15] (an array,
// or anything else that gives a Word for an index), and adds the result to `state`.
template <typename Word, typename Words>
[[gnu::always_inline]] inline void Md5Steps(Word state[4], const Words& words) {
  Word a = state[0], b = state[1], c = state[2], d = state[3];
  Md5Round<0>(a, b, c, d, words);
  Md5Round<1>(a, b, c, d, words);
  Md5Round<2>(a, b, c, d, words);
  Md5Round<3>(a, b, c, d, words);
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
}
