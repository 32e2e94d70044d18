// What the files of SHA-256 in vector lanes share: the rounds over one block of every lane's
// stream, written once for any vector type of 32-bit lanes (GCC's vector extension), so that
// each path compiles them for its own instructions.
#pragma once

#include <cstdint>
#include <type_traits>

#include "core/sha256_blocks.h"

// The vectors go by reference: passed by value, they would take another way through calls in
// code for a processor with wider registers than the caller's, and the compiler warns of that.

// out = x rotated right by r1, by r2 and by r3 (or shifted right by r3), all XORed: the mixing
// functions of SHA-256.
template <int r1, int r2, int r3, bool shift3, typename Lanes>
[[gnu::always_inline]] inline void Sha256Mix(const Lanes& x, Lanes& out) {
  const Lanes third = shift3 ? x >> r3 : (x >> r3) | (x << (32 - r3));
  out = ((x >> r1) | (x << (32 - r1))) ^ ((x >> r2) | (x << (32 - r2))) ^ third;
}

// The message is big-endian, the processor little-endian: the bytes of each word swap.
template <typename Lanes>
[[gnu::always_inline]] inline void Sha256SwapBytes(Lanes& x) {
  x = ((x >> 8) & 0x00FF00FF) | ((x << 8) & 0xFF00FF00);
  x = (x >> 16) | (x << 16);
}

// `step` rounds (8 or 16) from round `first` on (a multiple of `step`). Unrolled, every index
// of the working variables is a constant, so that they change names instead of places: in round
// i, a is v[-i mod 8], b the next, and so on; only d (the new e) and h (the new a) change, and
// after 8 rounds each is back in its place. Past the first sixteen rounds, each round first
// replaces the message word of sixteen rounds before with the next one of the schedule.
// `schedule` says whether it does: std::true_type or std::false_type, compiled in or out, or a
// mask of all ones or all zeros that the new part of the word is ANDed with.
template <int step, typename Lanes, typename Schedule>
[[gnu::always_inline]] inline void Sha256StepOfRounds(int first, Schedule schedule, Lanes v[8],
                                                      Lanes w[16]) {
#pragma GCC unroll 16
  for (int i = 0; i < step; ++i) {
    const int j = (first + i) & 15;
    constexpr bool masked = std::is_same_v<Schedule, uint32_t>;
    if constexpr (!std::is_same_v<Schedule, std::false_type>) {
      Lanes back2, back15;
      Sha256Mix<17, 19, 10, true>(w[(j + 14) & 15], back2);
      Sha256Mix<7, 18, 3, true>(w[(j + 1) & 15], back15);
      const Lanes next = back2 + w[(j + 9) & 15] + back15;
      if constexpr (masked) {
        w[j] += next & schedule;
      } else {
        w[j] += next;
      }
    }
    const Lanes a = v[-i & 7], b = v[(1 - i) & 7], c = v[(2 - i) & 7];
    const Lanes e = v[(4 - i) & 7], f = v[(5 - i) & 7], g = v[(6 - i) & 7];
    Lanes& d = v[(3 - i) & 7];
    Lanes& h = v[(7 - i) & 7];
    Lanes mixedE, mixedA;
    Sha256Mix<6, 11, 25, false>(e, mixedE);
    Sha256Mix<2, 13, 22, false>(a, mixedA);
    const Lanes t1 = h + kSha256RoundConstants[first + i] + w[j] + mixedE + (((f ^ g) & e) ^ g);
    const Lanes t2 = mixedA + ((a & b) | (c & (a | b)));
    d += t1;
    h = t1 + t2;
  }
}

// The 64 rounds over one block of every lane's stream, from its sixteen message words, added to
// `state`, as loops of `step` rounds. With `firstApart`, the first sixteen rounds have a loop of
// their own, and the other loop schedules without a test. Without, one loop does all 64, and
// the first sixteen work out words that they drop: no branches, which with the eight vector
// registers of i686 (measured on x86-64 with the compiler kept off the other eight) ran as fast
// as the rounds unrolled whole, and 15% faster than a test in each round; with all sixteen
// registers, 10 to 15% slower than unrolled whole.
template <int step, bool firstApart, typename Lanes>
[[gnu::always_inline]] inline void Sha256Rounds(Lanes state[8], Lanes w[16]) {
  Lanes v[8];
  for (int k = 0; k < 8; ++k) v[k] = state[k];
  if constexpr (firstApart) {
#pragma GCC unroll 1
    for (int first = 0; first < 16; first += step) {
      Sha256StepOfRounds<step>(first, std::false_type(), v, w);
    }
#pragma GCC unroll 1
    for (int first = 16; first < 64; first += step) {
      Sha256StepOfRounds<step>(first, std::true_type(), v, w);
    }
  } else {
#pragma GCC unroll 1
    for (int first = 0; first < 64; first += step) {
      Sha256StepOfRounds<step>(first, first < 16 ? 0u : ~0u, v, w);
    }
  }
  for (int k = 0; k < 8; ++k) state[k] += v[k];
}
