// What the x86 files of MD5 and SHA-256 share for hashing several streams side by side, one in
// each 32-bit lane of a vector register: the vector types, the states and the message words
// moved between the streams and the lanes, and what the CPU offers for it.
#pragma once

#include <cpuid.h>
#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

typedef uint32_t Lanes4 __attribute__((vector_size(16)));
typedef uint32_t Lanes8 __attribute__((vector_size(32)));
typedef uint32_t Lanes16 __attribute__((vector_size(64)));

// A group's states, word k of stream i in lane i of state[k]; lanes beyond `lanes` start from
// zeros, and where a group is not full they hash the first stream's blocks again, whose results
// are dropped. `Hash` is any hash with an array `state` of `words` 32-bit words.
template <typename Lanes, size_t width, size_t words, typename Hash>
[[gnu::always_inline]] inline void LoadLaneStates(Hash* const* hashes, size_t lanes,
                                                  Lanes state[words]) {
  alignas(64) uint32_t values[words][width] = {};
  for (size_t lane = 0; lane < lanes; ++lane) {
    for (size_t k = 0; k < words; ++k) values[k][lane] = hashes[lane]->state[k];
  }
  std::memcpy(state, values, sizeof values);
}

template <typename Lanes, size_t width, size_t words, typename Hash>
[[gnu::always_inline]] inline void StoreLaneStates(const Lanes state[words], size_t lanes,
                                                   Hash* const* hashes) {
  alignas(64) uint32_t values[words][width];
  std::memcpy(values, state, sizeof values);
  for (size_t lane = 0; lane < lanes; ++lane) {
    for (size_t k = 0; k < words; ++k) hashes[lane]->state[k] = values[k][lane];
  }
}

template <size_t width>
[[gnu::always_inline]] inline void LaneSources(const unsigned char* const* blocks, size_t lanes,
                                               const unsigned char* from[width]) {
  for (size_t lane = 0; lane < width; ++lane) from[lane] = blocks[lane < lanes ? lane : 0];
}

// The message words of one block of each stream, little-endian word k of stream i in lane i of
// words[k]: four words of a stream at a time are loaded into one 128-bit part of a register,
// and four such registers transposed as 4 x 4 matrices of words, each 128-bit part on its own.
// Register r of the wider paths holds streams r, r + 4, r + 8 and r + 12 in its parts, so that
// the transposed parts come out in order.
inline void Sse2LaneWords(const unsigned char* const from[4], size_t offset, Lanes4 words[16]) {
  for (int q = 0; q < 4; ++q) {
    __m128i row[4];
    for (int r = 0; r < 4; ++r) {
      row[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from[r] + offset + 16 * q));
    }
    const __m128i low01 = _mm_unpacklo_epi32(row[0], row[1]);
    const __m128i low23 = _mm_unpacklo_epi32(row[2], row[3]);
    const __m128i high01 = _mm_unpackhi_epi32(row[0], row[1]);
    const __m128i high23 = _mm_unpackhi_epi32(row[2], row[3]);
    words[4 * q] = Lanes4(_mm_unpacklo_epi64(low01, low23));
    words[4 * q + 1] = Lanes4(_mm_unpackhi_epi64(low01, low23));
    words[4 * q + 2] = Lanes4(_mm_unpacklo_epi64(high01, high23));
    words[4 * q + 3] = Lanes4(_mm_unpackhi_epi64(high01, high23));
  }
}

__attribute__((target("avx2"), always_inline)) inline void Avx2LaneWords(
    const unsigned char* const from[8], size_t offset, Lanes8 words[16]) {
  for (int q = 0; q < 4; ++q) {
    __m256i row[4];
    for (int r = 0; r < 4; ++r) {
      const auto part = [&](int stream) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from[stream] + offset + 16 * q));
      };
      row[r] = _mm256_inserti128_si256(_mm256_castsi128_si256(part(r)), part(r + 4), 1);
    }
    const __m256i low01 = _mm256_unpacklo_epi32(row[0], row[1]);
    const __m256i low23 = _mm256_unpacklo_epi32(row[2], row[3]);
    const __m256i high01 = _mm256_unpackhi_epi32(row[0], row[1]);
    const __m256i high23 = _mm256_unpackhi_epi32(row[2], row[3]);
    words[4 * q] = Lanes8(_mm256_unpacklo_epi64(low01, low23));
    words[4 * q + 1] = Lanes8(_mm256_unpackhi_epi64(low01, low23));
    words[4 * q + 2] = Lanes8(_mm256_unpacklo_epi64(high01, high23));
    words[4 * q + 3] = Lanes8(_mm256_unpackhi_epi64(high01, high23));
  }
}

__attribute__((target("avx512f"), always_inline)) inline void Avx512LaneWords(
    const unsigned char* const from[16], size_t offset, Lanes16 words[16]) {
  for (int q = 0; q < 4; ++q) {
    __m512i row[4];
    for (int r = 0; r < 4; ++r) {
      const auto part = [&](int stream) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from[stream] + offset + 16 * q));
      };
      row[r] = _mm512_castsi128_si512(part(r));
      row[r] = _mm512_inserti32x4(row[r], part(r + 4), 1);
      row[r] = _mm512_inserti32x4(row[r], part(r + 8), 2);
      row[r] = _mm512_inserti32x4(row[r], part(r + 12), 3);
    }
    const __m512i low01 = _mm512_mask_unpacklo_epi32(row[0], 0xFFFF, row[0], row[1]);
    const __m512i low23 = _mm512_mask_unpacklo_epi32(row[2], 0xFFFF, row[2], row[3]);
    const __m512i high01 = _mm512_mask_unpackhi_epi32(row[0], 0xFFFF, row[0], row[1]);
    const __m512i high23 = _mm512_mask_unpackhi_epi32(row[2], 0xFFFF, row[2], row[3]);
    words[4 * q] = Lanes16(_mm512_mask_unpacklo_epi64(low01, 0xFF, low01, low23));
    words[4 * q + 1] = Lanes16(_mm512_mask_unpackhi_epi64(low01, 0xFF, low01, low23));
    words[4 * q + 2] = Lanes16(_mm512_mask_unpacklo_epi64(high01, 0xFF, high01, high23));
    words[4 * q + 3] = Lanes16(_mm512_mask_unpackhi_epi64(high01, 0xFF, high01, high23));
  }
}

// Two registers of streams taken as one word, whose every operation runs on each register: the
// processor overlaps the two chains of steps. (GCC's vector type of twice the register width
// does the same where the steps are unrolled whole, but is kept in memory across a loop.)
template <typename Half>
struct LanePair {
  Half low, high;
};

// The message words of two registers of streams, read as pairs.
template <typename Half>
struct LanePairWords {
  const Half* first;
  const Half* second;
  [[gnu::always_inline]] LanePair<Half> operator[](int k) const { return {first[k], second[k]}; }
};

template <typename Half>
[[gnu::always_inline]] inline LanePair<Half> operator+(const LanePair<Half>& x,
                                                       const LanePair<Half>& y) {
  return {x.low + y.low, x.high + y.high};
}
template <typename Half>
[[gnu::always_inline]] inline LanePair<Half> operator+(const LanePair<Half>& x, uint32_t y) {
  return {x.low + y, x.high + y};
}
template <typename Half>
[[gnu::always_inline]] inline LanePair<Half>& operator+=(LanePair<Half>& x,
                                                         const LanePair<Half>& y) {
  return x = x + y;
}
template <typename Half>
[[gnu::always_inline]] inline LanePair<Half> operator^(const LanePair<Half>& x,
                                                       const LanePair<Half>& y) {
  return {x.low ^ y.low, x.high ^ y.high};
}
template <typename Half>
[[gnu::always_inline]] inline LanePair<Half> operator&(const LanePair<Half>& x,
                                                       const LanePair<Half>& y) {
  return {x.low & y.low, x.high & y.high};
}
template <typename Half>
[[gnu::always_inline]] inline LanePair<Half> operator|(const LanePair<Half>& x,
                                                       const LanePair<Half>& y) {
  return {x.low | y.low, x.high | y.high};
}
template <typename Half>
[[gnu::always_inline]] inline LanePair<Half> operator~(const LanePair<Half>& x) {
  return {~x.low, ~x.high};
}
template <typename Half>
[[gnu::always_inline]] inline LanePair<Half> operator<<(const LanePair<Half>& x, int bits) {
  return {x.low << bits, x.high << bits};
}
template <typename Half>
[[gnu::always_inline]] inline LanePair<Half> operator>>(const LanePair<Half>& x, int bits) {
  return {x.low >> bits, x.high >> bits};
}

// The widest registers that both the CPU and the system (which saves them for each thread)
// support; SSE2 is always there, the program requires it.
enum class LaneRegisters { kSse2, kAvx2, kAvx512 };

// The register state the system saves for each thread: bits 1 and 2 for the XMM and YMM
// registers, 5 to 7 for AVX-512's.
__attribute__((target("xsave"))) inline uint64_t SavedRegisterState() {
  return _xgetbv(0);
}

// AVX-512 counts where it has its instructions on 256-bit registers too (VL).
inline LaneRegisters WidestLaneRegisters() {
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return LaneRegisters::kSse2;
  if ((ecx & bit_OSXSAVE) == 0 || (ecx & bit_AVX) == 0) return LaneRegisters::kSse2;
  const uint64_t saved = SavedRegisterState();
  if ((saved & 6) != 6 || !__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
    return LaneRegisters::kSse2;
  }
  if ((ebx & bit_AVX2) == 0) return LaneRegisters::kSse2;
  if ((saved & 0xE6) == 0xE6 && (ebx & bit_AVX512F) && (ebx & bit_AVX512VL)) {
    return LaneRegisters::kAvx512;
  }
  return LaneRegisters::kAvx2;
}
