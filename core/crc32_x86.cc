// The CRC-32 of x86 processors with carry-less multiplication (PCLMULQDQ), compiled for that
// instruction alone; the rest of the program keeps its baseline (SSE2 on i686).
//
// The bytes are a polynomial over GF(2), and the CRC is what remains of it times x^32 modulo
// P. A 128-bit block X followed by D more bits of message counts as X * x^D, which is the
// same modulo P as its two 64-bit halves each multiplied by a 32-bit constant: folding X
// forward by D bits costs two carry-less multiplications, and the result is simply XORed into
// the block that lies D bits further on. Four blocks are folded side by side, 64 bytes a
// step; at the end the four become one, and the table path finishes it and the last bytes.
// With VPCLMULQDQ and AVX-512, four registers of four blocks each go side by side, 256 bytes
// a step: about four times as fast.
#include <cpuid.h>
#include <immintrin.h>

#include "core/crc32_kernels.h"
#include "core/lanes_x86.h"

namespace {

// In the reflected order, a 64-bit half holds x^63 .. x^0 of its polynomial from bit 0 up,
// and the carry-less product of two such halves A and B, read as 128 bits in the same order,
// is A * B * x (its top bit is always 0). So the constant for the high-order half of a block
// (the low 64 bits of the register), which stands for H * x^64 and is to be moved D bits on,
// is x^(64 + D - 1); that of the other half is x^(D - 1). Both are below degree 32, and move
// to the top of their 64 bits in the reflected order.
constexpr uint64_t FoldConstant(uint32_t power) {
  return uint64_t{Crc32PowerOfX(power)} << 32;
}

// The two constants of a fold over D bits, the one for the low 64 bits first.
struct Fold {
  uint64_t low, high;
};

constexpr Fold FoldOver(uint32_t bits) {
  return {FoldConstant(64 + bits - 1), FoldConstant(bits - 1)};
}

constexpr Fold kFold512 = FoldOver(512);
constexpr Fold kFold128 = FoldOver(128);

__attribute__((target("pclmul"))) inline __m128i FoldInto(__m128i block, __m128i constants,
                                                          __m128i next) {
  const __m128i low = _mm_clmulepi64_si128(block, constants, 0x00);
  const __m128i high = _mm_clmulepi64_si128(block, constants, 0x11);
  return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

// Folds x over the 16-byte blocks left, then the table path finishes x followed by the last
// few bytes.
__attribute__((target("pclmul"))) uint32_t Finish(__m128i x, const __m128i* blocks, size_t count) {
  const __m128i by128 =
      _mm_set_epi64x(static_cast<long long>(kFold128.high), static_cast<long long>(kFold128.low));
  for (; count >= 16; count -= 16, ++blocks) x = FoldInto(x, by128, _mm_loadu_si128(blocks));
  alignas(16) unsigned char rest[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(rest), x);
  const uint32_t state = Crc32TableUpdate(0, rest, 16);
  return ~Crc32TableUpdate(state, reinterpret_cast<const unsigned char*>(blocks), count);
}

__attribute__((target("pclmul"))) uint32_t PclmulAdd(uint32_t crc, const void* bytes,
                                                     size_t count) {
  const unsigned char* in = static_cast<const unsigned char*>(bytes);
  if (count < 64) return ~Crc32TableUpdate(~crc, in, count);
  const __m128i* blocks = reinterpret_cast<const __m128i*>(in);
  // The register's value joins the first four bytes: running a register from 0 over bytes
  // whose first four were XORed with it gives what running it over the bytes gives.
  __m128i x0 = _mm_xor_si128(_mm_loadu_si128(blocks), _mm_cvtsi32_si128(static_cast<int>(~crc)));
  __m128i x1 = _mm_loadu_si128(blocks + 1);
  __m128i x2 = _mm_loadu_si128(blocks + 2);
  __m128i x3 = _mm_loadu_si128(blocks + 3);
  blocks += 4;
  count -= 64;
  const __m128i by512 =
      _mm_set_epi64x(static_cast<long long>(kFold512.high), static_cast<long long>(kFold512.low));
  for (; count >= 64; count -= 64, blocks += 4) {
    x0 = FoldInto(x0, by512, _mm_loadu_si128(blocks));
    x1 = FoldInto(x1, by512, _mm_loadu_si128(blocks + 1));
    x2 = FoldInto(x2, by512, _mm_loadu_si128(blocks + 2));
    x3 = FoldInto(x3, by512, _mm_loadu_si128(blocks + 3));
  }
  const __m128i by128 =
      _mm_set_epi64x(static_cast<long long>(kFold128.high), static_cast<long long>(kFold128.low));
  return Finish(FoldInto(FoldInto(FoldInto(x0, by128, x1), by128, x2), by128, x3), blocks, count);
}

// The same with VPCLMULQDQ on 512-bit registers, four 128-bit blocks in each: four registers
// side by side, 256 bytes a step.
__attribute__((target("vpclmulqdq,avx512f"), always_inline)) inline __m512i FoldInto512(
    __m512i block, __m512i constants, __m512i next) {
  const __m512i low = _mm512_clmulepi64_epi128(block, constants, 0x00);
  const __m512i high = _mm512_clmulepi64_epi128(block, constants, 0x11);
  return _mm512_ternarylogic_epi32(low, high, next, 0x96);  // low ^ high ^ next
}

__attribute__((target("vpclmulqdq,avx512f"), always_inline)) inline __m512i Broadcast(Fold fold) {
  return _mm512_set4_epi64(static_cast<long long>(fold.high), static_cast<long long>(fold.low),
                           static_cast<long long>(fold.high), static_cast<long long>(fold.low));
}

__attribute__((target("vpclmulqdq,avx512f,pclmul"))) uint32_t Vpclmul512Add(uint32_t crc,
                                                                            const void* bytes,
                                                                            size_t count) {
  if (count < 256) return PclmulAdd(crc, bytes, count);
  const __m512i* blocks = static_cast<const __m512i*>(bytes);
  __m512i x0 = _mm512_xor_si512(_mm512_loadu_si512(blocks),
                                _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(~crc))));
  __m512i x1 = _mm512_loadu_si512(blocks + 1);
  __m512i x2 = _mm512_loadu_si512(blocks + 2);
  __m512i x3 = _mm512_loadu_si512(blocks + 3);
  blocks += 4;
  count -= 256;
  const __m512i by2048 = Broadcast(FoldOver(2048));
  for (; count >= 256; count -= 256, blocks += 4) {
    x0 = FoldInto512(x0, by2048, _mm512_loadu_si512(blocks));
    x1 = FoldInto512(x1, by2048, _mm512_loadu_si512(blocks + 1));
    x2 = FoldInto512(x2, by2048, _mm512_loadu_si512(blocks + 2));
    x3 = FoldInto512(x3, by2048, _mm512_loadu_si512(blocks + 3));
  }
  const __m512i by512 = Broadcast(kFold512);
  const __m512i x = FoldInto512(FoldInto512(FoldInto512(x0, by512, x1), by512, x2), by512, x3);
  // The four 128-bit blocks of x, one after the other, folded onto the last.
  const Fold by384 = FoldOver(384), by256 = FoldOver(256);
  const __m512i last = _mm512_maskz_mov_epi64(0xC0, x);
  const __m512i constants = _mm512_set_epi64(
      0, 0, static_cast<long long>(kFold128.high), static_cast<long long>(kFold128.low),
      static_cast<long long>(by256.high), static_cast<long long>(by256.low),
      static_cast<long long>(by384.high), static_cast<long long>(by384.low));
  const __m512i folded = FoldInto512(_mm512_maskz_mov_epi64(0x3F, x), constants, last);
  // Masked extractions: GCC 12 warns of the plain ones, which leave the rest undefined.
  const __m128i one = _mm_xor_si128(_mm_xor_si128(_mm512_maskz_extracti32x4_epi32(0xF, folded, 0),
                                                  _mm512_maskz_extracti32x4_epi32(0xF, folded, 1)),
                                    _mm_xor_si128(_mm512_maskz_extracti32x4_epi32(0xF, folded, 2),
                                                  _mm512_maskz_extracti32x4_epi32(0xF, folded, 3)));
  return Finish(one, reinterpret_cast<const __m128i*>(blocks), count);
}

constexpr Crc32Path kPaths[] = {{"vpclmul", Vpclmul512Add}, {"pclmul", PclmulAdd}};

}  // namespace

std::span<const Crc32Path> Crc32VectorPaths() {
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || (ecx & bit_PCLMUL) == 0) return {};
  if (WidestLaneRegisters() != LaneRegisters::kAvx512) return std::span(kPaths).subspan(1);
  const bool wide = __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ecx & bit_VPCLMULQDQ);
  return std::span(kPaths).subspan(wide ? 0 : 1);
}
