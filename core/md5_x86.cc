// Several MD5 streams side by side on x86 processors, one in each 32-bit lane of a vector
// register: 4 in SSE2's (always there: the program requires SSE2), 8 with AVX2, 16 with
// AVX-512. A step of MD5 waits on the one before, so one register of streams leaves the
// processor idle most of the time: the paths of SSE2 and AVX2 run two registers of streams
// side by side (8 and 16 streams), which measured more than twice as fast. AVX-512 shortens
// each step, so that one register of 8 or 16 streams does as well; its widest path runs two
// registers, 32 streams. Each path is compiled for its instructions alone; the rest of the
// program keeps its baseline.
#include <cpuid.h>
#include <immintrin.h>

#include <cstring>

#include "core/md5_rounds.h"

namespace {

typedef uint32_t Lanes4 __attribute__((vector_size(16)));
typedef uint32_t Lanes8 __attribute__((vector_size(32)));
typedef uint32_t Lanes16 __attribute__((vector_size(64)));
typedef uint32_t Lanes32 __attribute__((vector_size(128)));

// A group's states, lane i from stream i; lanes beyond `lanes` start from zeros, and where a
// group is not full they hash the first stream's blocks again, whose results are dropped.
template <typename Lanes, size_t width>
[[gnu::always_inline]] inline void LoadStates(Md5* const* hashes, size_t lanes, Lanes state[4]) {
  alignas(64) uint32_t values[4][width] = {};
  for (size_t lane = 0; lane < lanes; ++lane) {
    for (int k = 0; k < 4; ++k) values[k][lane] = hashes[lane]->state[k];
  }
  std::memcpy(state, values, sizeof values);
}

template <typename Lanes, size_t width>
[[gnu::always_inline]] inline void StoreStates(const Lanes state[4], size_t lanes,
                                               Md5* const* hashes) {
  alignas(64) uint32_t values[4][width];
  std::memcpy(values, state, sizeof values);
  for (size_t lane = 0; lane < lanes; ++lane) {
    for (int k = 0; k < 4; ++k) hashes[lane]->state[k] = values[k][lane];
  }
}

template <size_t width>
[[gnu::always_inline]] inline void Sources(const unsigned char* const* blocks, size_t lanes,
                                           const unsigned char* from[width]) {
  for (size_t lane = 0; lane < width; ++lane) from[lane] = blocks[lane < lanes ? lane : 0];
}

// The message words of one block of each stream, word k of stream i in lane i of words[k]:
// four words of a stream at a time are loaded into one 128-bit part of a register, and four
// such registers transposed as 4 x 4 matrices of words, each 128-bit part on its own (the
// processors run little-endian, like MD5's words). Register r of the wider paths holds streams
// r, r + 4, r + 8 and r + 12 in its parts, so that the transposed parts come out in order.
inline void Sse2Words(const unsigned char* const from[4], size_t offset, Lanes4 words[16]) {
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

__attribute__((target("avx2"), always_inline)) inline void Avx2Words(
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

__attribute__((target("avx512f"), always_inline)) inline void Avx512Words(
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

// Two registers of streams in one vector of twice the width: the compiler keeps it in two
// registers and runs their steps interleaved.
template <typename Half, typename Lanes>
[[gnu::always_inline]] inline void JoinWords(const Half first[16], const Half second[16],
                                             Lanes words[16]) {
  for (int k = 0; k < 16; ++k) {
    std::memcpy(&words[k], &first[k], sizeof first[k]);
    std::memcpy(reinterpret_cast<unsigned char*>(&words[k]) + sizeof first[k], &second[k],
                sizeof second[k]);
  }
}

void Sse2Blocks(Md5* const* hashes, const unsigned char* const* blocks, size_t lanes,
                size_t count) {
  Lanes8 state[4], words[16];
  Lanes4 first[16], second[16];
  const unsigned char* from[8];
  LoadStates<Lanes8, 8>(hashes, lanes, state);
  Sources<8>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Sse2Words(from, 64 * block, first);
    Sse2Words(from + 4, 64 * block, second);
    JoinWords(first, second, words);
    Md5Steps(state, words);
  }
  StoreStates<Lanes8, 8>(state, lanes, hashes);
}

__attribute__((target("avx2"))) void Avx2Blocks(Md5* const* hashes,
                                                const unsigned char* const* blocks, size_t lanes,
                                                size_t count) {
  Lanes16 state[4], words[16];
  Lanes8 first[16], second[16];
  const unsigned char* from[16];
  LoadStates<Lanes16, 16>(hashes, lanes, state);
  Sources<16>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx2Words(from, 64 * block, first);
    Avx2Words(from + 8, 64 * block, second);
    JoinWords(first, second, words);
    Md5Steps(state, words);
  }
  StoreStates<Lanes16, 16>(state, lanes, hashes);
}

__attribute__((target("avx512f,avx512vl"))) void Avx512Blocks(Md5* const* hashes,
                                                              const unsigned char* const* blocks,
                                                              size_t lanes, size_t count) {
  Lanes32 state[4], words[16];
  Lanes16 first[16], second[16];
  const unsigned char* from[32];
  LoadStates<Lanes32, 32>(hashes, lanes, state);
  Sources<32>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx512Words(from, 64 * block, first);
    Avx512Words(from + 16, 64 * block, second);
    JoinWords(first, second, words);
    Md5Steps(state, words);
  }
  StoreStates<Lanes32, 32>(state, lanes, hashes);
}

// With AVX-512's instructions on 256 and 512 bits, each step is shorter (one instruction mixes
// three words, one rotates): one register of streams runs about as fast as two without them.
__attribute__((target("avx512f,avx512vl"))) void Avx512Blocks16(Md5* const* hashes,
                                                                const unsigned char* const* blocks,
                                                                size_t lanes, size_t count) {
  Lanes16 state[4], words[16];
  const unsigned char* from[16];
  LoadStates<Lanes16, 16>(hashes, lanes, state);
  Sources<16>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx512Words(from, 64 * block, words);
    Md5Steps(state, words);
  }
  StoreStates<Lanes16, 16>(state, lanes, hashes);
}

__attribute__((target("avx512f,avx512vl"))) void Avx512Blocks8(Md5* const* hashes,
                                                               const unsigned char* const* blocks,
                                                               size_t lanes, size_t count) {
  Lanes8 state[4], words[16];
  const unsigned char* from[8];
  LoadStates<Lanes8, 8>(hashes, lanes, state);
  Sources<8>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx2Words(from, 64 * block, words);
    Md5Steps(state, words);
  }
  StoreStates<Lanes8, 8>(state, lanes, hashes);
}

// Widest first; of two of the same width, the faster first.
constexpr Md5LanePath kAvx512Paths[] = {{"avx512x32", 32, Avx512Blocks},
                                        {"avx512x16", 16, Avx512Blocks16},
                                        {"avx2x16", 16, Avx2Blocks},
                                        {"avx512x8", 8, Avx512Blocks8},
                                        {"sse2x8", 8, Sse2Blocks}};
constexpr Md5LanePath kAvx2Paths[] = {{"avx2x16", 16, Avx2Blocks}, {"sse2x8", 8, Sse2Blocks}};

// The register state the system saves for each thread: bits 1 and 2 for the XMM and YMM
// registers, 5 to 7 for AVX-512's.
__attribute__((target("xsave"))) uint64_t SavedRegisterState() {
  return _xgetbv(0);
}

}  // namespace

std::span<const Md5LanePath> Md5VectorLanePaths() {
  const std::span<const Md5LanePath> sse2 = std::span(kAvx2Paths).subspan(1);
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return sse2;
  if ((ecx & bit_OSXSAVE) == 0 || (ecx & bit_AVX) == 0) return sse2;
  const uint64_t saved = SavedRegisterState();
  if ((saved & 6) != 6 || !__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return sse2;
  if ((ebx & bit_AVX2) == 0) return sse2;
  if ((saved & 0xE6) == 0xE6 && (ebx & bit_AVX512F) && (ebx & bit_AVX512VL)) return kAvx512Paths;
  return kAvx2Paths;
}
