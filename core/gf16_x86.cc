// The region functions of x86 processors with SSSE3 and with AVX2: a word's product is the
// XOR of the products of its four 4-bit parts, each looked up in a 16-entry table with a byte
// shuffle (pshufb), 16 or 32 words at a time; and with GFNI, whose gf2p8affineqb multiplies
// bytes by 8 x 8 bit matrices, four of which make up the product with a factor. Each function
// is compiled for its instructions alone; the rest of the program keeps its baseline (SSE2 on
// i686).
#include <cpuid.h>
#include <immintrin.h>

#include "core/gf16_kernels.h"

namespace {

// dst ^= the 32 bytes of first and second, or the 64 bytes.
inline void XorInto128(unsigned char* dst, __m128i first, __m128i second) {
  __m128i* out = reinterpret_cast<__m128i*>(dst);
  _mm_storeu_si128(out, _mm_xor_si128(_mm_loadu_si128(out), first));
  _mm_storeu_si128(out + 1, _mm_xor_si128(_mm_loadu_si128(out + 1), second));
}

__attribute__((target("avx2"), always_inline)) inline void XorInto256(unsigned char* dst,
                                                                      __m256i first,
                                                                      __m256i second) {
  __m256i* out = reinterpret_cast<__m256i*>(dst);
  _mm256_storeu_si256(out, _mm256_xor_si256(_mm256_loadu_si256(out), first));
  _mm256_storeu_si256(out + 1, _mm256_xor_si256(_mm256_loadu_si256(out + 1), second));
}

// The shuffle looks up bytes, so the words are taken apart first: the low bytes of 16 words in
// one register and their high bytes in another (packus keeps the order within each 128-bit
// half), the four 4-bit parts looked up in both halves of the tables, and the low and high
// bytes of the products put back together with unpack, which undoes the pack half by half.
__attribute__((target("ssse3"))) void Ssse3Region(unsigned char* dst, const unsigned char* src,
                                                  uint16_t factor, size_t bytes) {
  const __m128i lowBytes = _mm_set1_epi16(0x00FF);
  const __m128i lowNibbles = _mm_set1_epi8(0x0F);
  alignas(16) unsigned char bytesOf[8][16];
  GfNibbleTables(factor, bytesOf);
  __m128i table[8];
#pragma GCC unroll 8
  for (int k = 0; k < 8; ++k) table[k] = _mm_load_si128(reinterpret_cast<__m128i*>(bytesOf[k]));
  for (; factor == 1 && bytes >= 32; bytes -= 32, src += 32, dst += 32) {
    XorInto128(dst, _mm_loadu_si128(reinterpret_cast<const __m128i*>(src)),
               _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16)));
  }
  for (; bytes >= 32; bytes -= 32, src += 32, dst += 32) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
    const __m128i low =
        _mm_packus_epi16(_mm_and_si128(first, lowBytes), _mm_and_si128(second, lowBytes));
    const __m128i high = _mm_packus_epi16(_mm_srli_epi16(first, 8), _mm_srli_epi16(second, 8));
    const __m128i part[4] = {
        _mm_and_si128(low, lowNibbles), _mm_and_si128(_mm_srli_epi16(low, 4), lowNibbles),
        _mm_and_si128(high, lowNibbles), _mm_and_si128(_mm_srli_epi16(high, 4), lowNibbles)};
    __m128i productLow = _mm_shuffle_epi8(table[0], part[0]);
    __m128i productHigh = _mm_shuffle_epi8(table[1], part[0]);
#pragma GCC unroll 4
    for (int k = 1; k < 4; ++k) {
      productLow = _mm_xor_si128(productLow, _mm_shuffle_epi8(table[2 * k], part[k]));
      productHigh = _mm_xor_si128(productHigh, _mm_shuffle_epi8(table[2 * k + 1], part[k]));
    }
    XorInto128(dst, _mm_unpacklo_epi8(productLow, productHigh),
               _mm_unpackhi_epi8(productLow, productHigh));
  }
  if (bytes > 0) GfPortableRegion(dst, src, factor, bytes);
}

// The same, 32 words at a time; the tables are in both 128-bit halves, since the shuffle looks
// up within each half.
__attribute__((target("avx2"), always_inline)) inline void Avx2Tables(uint16_t factor,
                                                                      __m256i table[8]) {
  alignas(16) unsigned char bytesOf[8][16];
  GfNibbleTables(factor, bytesOf);
#pragma GCC unroll 8
  for (int k = 0; k < 8; ++k) {
    table[k] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<__m128i*>(bytesOf[k])));
  }
}

// The four 4-bit parts of the 32 words at src.
__attribute__((target("avx2"), always_inline)) inline void Avx2Parts(const unsigned char* src,
                                                                     __m256i part[4]) {
  const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
  const __m256i lowNibbles = _mm256_set1_epi8(0x0F);
  const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
  const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 32));
  const __m256i low =
      _mm256_packus_epi16(_mm256_and_si256(first, lowBytes), _mm256_and_si256(second, lowBytes));
  const __m256i high =
      _mm256_packus_epi16(_mm256_srli_epi16(first, 8), _mm256_srli_epi16(second, 8));
  part[0] = _mm256_and_si256(low, lowNibbles);
  part[1] = _mm256_and_si256(_mm256_srli_epi16(low, 4), lowNibbles);
  part[2] = _mm256_and_si256(high, lowNibbles);
  part[3] = _mm256_and_si256(_mm256_srli_epi16(high, 4), lowNibbles);
}

// dst ^= the products of the 32 words whose parts are `part`, looked up in `table`.
__attribute__((target("avx2"), always_inline)) inline void Avx2AddProducts(unsigned char* dst,
                                                                           const __m256i table[8],
                                                                           const __m256i part[4]) {
  __m256i productLow = _mm256_shuffle_epi8(table[0], part[0]);
  __m256i productHigh = _mm256_shuffle_epi8(table[1], part[0]);
#pragma GCC unroll 4
  for (int k = 1; k < 4; ++k) {
    productLow = _mm256_xor_si256(productLow, _mm256_shuffle_epi8(table[2 * k], part[k]));
    productHigh = _mm256_xor_si256(productHigh, _mm256_shuffle_epi8(table[2 * k + 1], part[k]));
  }
  XorInto256(dst, _mm256_unpacklo_epi8(productLow, productHigh),
             _mm256_unpackhi_epi8(productLow, productHigh));
}

__attribute__((target("avx2"))) void Avx2Region(unsigned char* dst, const unsigned char* src,
                                                uint16_t factor, size_t bytes) {
  __m256i table[8];
  Avx2Tables(factor, table);
  for (; factor == 1 && bytes >= 64; bytes -= 64, src += 64, dst += 64) {
    XorInto256(dst, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src)),
               _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 32)));
  }
  for (; bytes >= 64; bytes -= 64, src += 64, dst += 64) {
    __m256i part[4];
    Avx2Parts(src, part);
    Avx2AddProducts(dst, table, part);
  }
  if (bytes > 0) Ssse3Region(dst, src, factor, bytes);
}

// Two outputs from one pass over the input: its words taken apart once for both.
__attribute__((target("avx2"))) void Avx2PairRegion(unsigned char* dst0, unsigned char* dst1,
                                                    const unsigned char* src, uint16_t factor0,
                                                    uint16_t factor1, size_t bytes) {
  __m256i table0[8], table1[8];
  Avx2Tables(factor0, table0);
  Avx2Tables(factor1, table1);
  size_t at = 0;
  for (; bytes - at >= 64; at += 64) {
    __m256i part[4];
    Avx2Parts(src + at, part);
    Avx2AddProducts(dst0 + at, table0, part);
    Avx2AddProducts(dst1 + at, table1, part);
  }
  if (bytes > at) {
    Ssse3Region(dst0 + at, src + at, factor0, bytes - at);
    Ssse3Region(dst1 + at, src + at, factor1, bytes - at);
  }
}

// The low bytes and the high bytes of the 32 words of first and second, as Avx2Region has them.
__attribute__((target("avx2"), always_inline)) inline void SplitWords256(__m256i first,
                                                                         __m256i second,
                                                                         __m256i* low,
                                                                         __m256i* high) {
  const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
  *low = _mm256_packus_epi16(_mm256_and_si256(first, lowBytes), _mm256_and_si256(second, lowBytes));
  *high = _mm256_packus_epi16(_mm256_srli_epi16(first, 8), _mm256_srli_epi16(second, 8));
}

__attribute__((target("gfni,avx2"), always_inline)) inline void GfniMatrices(uint16_t factor,
                                                                             __m256i matrix[4]) {
  uint64_t matrices[4];
  GfBitMatrices(factor, matrices);
#pragma GCC unroll 4
  for (int k = 0; k < 4; ++k) matrix[k] = _mm256_set1_epi64x(static_cast<long long>(matrices[k]));
}

// dst ^= the products of the 32 words whose low and high bytes are `low` and `high`: four
// matrix products instead of eight lookups, and no 4-bit parts to take apart.
__attribute__((target("gfni,avx2"), always_inline)) inline void GfniAddProducts(
    unsigned char* dst, const __m256i matrix[4], __m256i low, __m256i high) {
  const __m256i productLow = _mm256_xor_si256(_mm256_gf2p8affine_epi64_epi8(low, matrix[0], 0),
                                              _mm256_gf2p8affine_epi64_epi8(high, matrix[1], 0));
  const __m256i productHigh = _mm256_xor_si256(_mm256_gf2p8affine_epi64_epi8(low, matrix[2], 0),
                                               _mm256_gf2p8affine_epi64_epi8(high, matrix[3], 0));
  XorInto256(dst, _mm256_unpacklo_epi8(productLow, productHigh),
             _mm256_unpackhi_epi8(productLow, productHigh));
}

__attribute__((target("gfni,avx2"))) void GfniRegion(unsigned char* dst, const unsigned char* src,
                                                     uint16_t factor, size_t bytes) {
  __m256i matrix[4];
  GfniMatrices(factor, matrix);
  for (; factor == 1 && bytes >= 64; bytes -= 64, src += 64, dst += 64) {
    XorInto256(dst, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src)),
               _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 32)));
  }
  for (; bytes >= 64; bytes -= 64, src += 64, dst += 64) {
    __m256i low, high;
    SplitWords256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src)),
                  _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 32)), &low, &high);
    GfniAddProducts(dst, matrix, low, high);
  }
  if (bytes > 0) GfPortableRegion(dst, src, factor, bytes);
}

// Two outputs from one pass over the input: its words split once for both.
__attribute__((target("gfni,avx2"))) void GfniPairRegion(unsigned char* dst0, unsigned char* dst1,
                                                         const unsigned char* src, uint16_t factor0,
                                                         uint16_t factor1, size_t bytes) {
  __m256i matrix0[4], matrix1[4];
  GfniMatrices(factor0, matrix0);
  GfniMatrices(factor1, matrix1);
  size_t at = 0;
  for (; bytes - at >= 64; at += 64) {
    __m256i low, high;
    SplitWords256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + at)),
                  _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + at + 32)), &low, &high);
    GfniAddProducts(dst0 + at, matrix0, low, high);
    GfniAddProducts(dst1 + at, matrix1, low, high);
  }
  if (bytes > at) {
    GfPortableRegion(dst0 + at, src + at, factor0, bytes - at);
    GfPortableRegion(dst1 + at, src + at, factor1, bytes - at);
  }
}

void Ssse3MultiplyAdd(const unsigned char* const* src, size_t inputs, unsigned char* const* dst,
                      size_t outputs, const uint16_t* factors, size_t bytes) {
  GfTiledMultiplyAdd(Ssse3Region, nullptr, src, inputs, dst, outputs, factors, bytes);
}

void Avx2MultiplyAdd(const unsigned char* const* src, size_t inputs, unsigned char* const* dst,
                     size_t outputs, const uint16_t* factors, size_t bytes) {
  GfTiledMultiplyAdd(Avx2Region, Avx2PairRegion, src, inputs, dst, outputs, factors, bytes);
}

void GfniMultiplyAdd(const unsigned char* const* src, size_t inputs, unsigned char* const* dst,
                     size_t outputs, const uint16_t* factors, size_t bytes) {
  GfTiledMultiplyAdd(GfniRegion, GfniPairRegion, src, inputs, dst, outputs, factors, bytes);
}

constexpr GfPath kPaths[] = {
    {"gfni", GfniMultiplyAdd}, {"avx2", Avx2MultiplyAdd}, {"ssse3", Ssse3MultiplyAdd}};

// The state the system saves for each thread: bits 1 and 2 for the XMM and YMM registers.
__attribute__((target("xsave"))) uint64_t SavedRegisterState() {
  return _xgetbv(0);
}

bool HasAvx2(unsigned cpuid1Ecx) {
  if ((cpuid1Ecx & bit_OSXSAVE) == 0 || (cpuid1Ecx & bit_AVX) == 0) return false;
  if ((SavedRegisterState() & 6) != 6) return false;
  unsigned eax, ebx, ecx, edx;
  return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & bit_AVX2) != 0;
}

}  // namespace

std::span<const GfPath> GfVectorPaths() {
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || (ecx & bit_SSSE3) == 0) return {};
  if (!HasAvx2(ecx)) return std::span(kPaths).subspan(2);
  const bool gfni = __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ecx & bit_GFNI) != 0;
  return std::span(kPaths).subspan(gfni ? 0 : 1);
}
