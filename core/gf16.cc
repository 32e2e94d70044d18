// The field's scalar operations through tables of logarithms, the input constants, the
// portable region function, the tiling of GfMultiplyAdd and the choice of its path.
#include "core/gf16.h"

#include <algorithm>
#include <bit>
#include <iterator>

#include "core/gf16_kernels.h"

namespace {

// x^16 = x^12 + x^3 + x + 1: what a carry out of bit 15 folds back into the low 16 bits.
constexpr uint32_t kReduction = 0x100B;
constexpr uint32_t kOrder = 65535;  // the number of non-zero elements

uint16_t TimesX(uint16_t value) {
  const uint32_t shifted = uint32_t{value} << 1;
  return static_cast<uint16_t>(shifted ^ ((shifted >> 16) * kReduction));
}

// exp[n] = 2^n for n = 0..65534, and exp[65535] = 2^0 again, so that a sum of two logarithms
// folded once (below) needs no further test; log[exp[n]] = n. 256 KiB, filled before main.
uint16_t gExp[kOrder + 1];
uint16_t gLog[kOrder + 1];

// Folds a sum of logarithms below 2^32 into 0..65535, where 65535 stands for 0 again: 2^16 is
// 1 modulo 65535.
uint32_t Fold(uint32_t sum) {
  sum = (sum & 0xFFFF) + (sum >> 16);
  return (sum & 0xFFFF) + (sum >> 16);
}

// The powers of the factor times x^0 .. x^15: every product with the factor is a XOR of some
// of them, one for each bit set in the other operand.
void Basis(uint16_t factor, uint16_t basis[16]) {
  basis[0] = factor;
  for (int bit = 1; bit < 16; ++bit) basis[bit] = TimesX(basis[bit - 1]);
}

// Fills table[n] = XOR of basis[bit] over the bits set in n, for n below `size` (a power of 2).
void Combine(const uint16_t* basis, uint16_t* table, unsigned size) {
  table[0] = 0;
  for (unsigned n = 1; n < size; ++n) {
    table[n] = table[n & (n - 1)] ^ basis[std::countr_zero(n)];
  }
}

uint32_t LoadLittleEndian32(const unsigned char* bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
         uint32_t{bytes[3]} << 24;
}

void StoreLittleEndian32(uint32_t value, unsigned char* bytes) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

void PortableMultiplyAdd(const unsigned char* const* src, size_t inputs, unsigned char* const* dst,
                         size_t outputs, const uint16_t* factors, size_t bytes) {
  GfTiledMultiplyAdd(GfPortableRegion, nullptr, src, inputs, dst, outputs, factors, bytes);
}

struct PathList {
  GfPath paths[6];
  size_t count;
};

// Runs before main: the tables, then the paths of this CPU.
PathList Setup() {
  uint16_t power = 1;
  for (uint32_t n = 0; n < kOrder; ++n) {
    gExp[n] = power;
    gLog[power] = static_cast<uint16_t>(n);
    power = TimesX(power);
  }
  gExp[kOrder] = 1;
  PathList list{};
  for (const GfPath& path : GfVectorPaths()) {
    if (list.count + 1 < std::size(list.paths)) list.paths[list.count++] = path;
  }
  list.paths[list.count++] = {"portable", PortableMultiplyAdd};
  return list;
}

const PathList gPaths = Setup();

// How many n in 1..limit are not multiples of 3, 5, 17 or 257: by inclusion and exclusion
// over the products of those primes, each counted with the sign of its number of factors.
uint32_t CountCoprime(uint32_t limit) {
  constexpr uint32_t kPrimes[4] = {3, 5, 17, 257};
  uint32_t count = 0;
  for (unsigned subset = 0; subset < 16; ++subset) {
    uint32_t product = 1;
    for (int i = 0; i < 4; ++i) {
      if (subset & (1u << i)) product *= kPrimes[i];
    }
    const uint32_t multiples = limit / product;
    count = std::popcount(subset) % 2 == 0 ? count + multiples : count - multiples;
  }
  return count;
}

}  // namespace

uint16_t GfMultiply(uint16_t a, uint16_t b) {
  if (a == 0 || b == 0) return 0;
  return gExp[Fold(uint32_t{gLog[a]} + gLog[b])];
}

uint16_t GfDivide(uint16_t a, uint16_t b) {
  if (a == 0) return 0;
  return gExp[Fold(uint32_t{gLog[a]} + kOrder - gLog[b])];
}

uint16_t GfPower(uint16_t a, uint32_t exponent) {
  if (exponent == 0) return 1;
  if (a == 0) return 0;
  return gExp[uint64_t{gLog[a]} * (exponent % kOrder) % kOrder];
}

uint16_t Par2InputConstant(uint32_t index) {
  // The exponents of order 65535 are the n in 1..65534 that share no factor with
  // 65535 = 3 * 5 * 17 * 257; there are exactly 32768. Find the smallest n with index + 1 of
  // them up to it.
  uint32_t low = 1, high = kOrder - 1;
  while (low < high) {
    const uint32_t middle = low + (high - low) / 2;
    if (CountCoprime(middle) > index) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return gExp[low];
}

void GfNibbleTables(uint16_t factor, unsigned char tables[8][16]) {
  uint16_t basis[16];
  Basis(factor, basis);
  for (int part = 0; part < 4; ++part) {
    uint16_t products[16];
    Combine(basis + 4 * part, products, 16);
    for (int n = 0; n < 16; ++n) {
      tables[2 * part][n] = static_cast<unsigned char>(products[n]);
      tables[2 * part + 1][n] = static_cast<unsigned char>(products[n] >> 8);
    }
  }
}

void GfBitMatrices(uint16_t factor, uint64_t matrices[4]) {
  // Column j of the whole 16 x 16 matrix is the product with x^j. Byte j of `block` gets
  // column j of one 8 x 8 part, bit i of it in row i; three exchanges of bit blocks across the
  // diagonal (1 x 1 within 2 x 2, 2 x 2 within 4 x 4, 4 x 4) turn the columns into rows.
  uint16_t basis[16];
  Basis(factor, basis);
  for (int out = 0; out < 2; ++out) {
    for (int in = 0; in < 2; ++in) {
      uint64_t block = 0;
      for (int j = 0; j < 8; ++j)
        block |= uint64_t{(basis[8 * in + j] >> (8 * out)) & 0xFFu} << (8 * j);
      uint64_t t = (block ^ (block >> 7)) & 0x00AA00AA00AA00AA;
      block ^= t ^ (t << 7);
      t = (block ^ (block >> 14)) & 0x0000CCCC0000CCCC;
      block ^= t ^ (t << 14);
      t = (block ^ (block >> 28)) & 0x00000000F0F0F0F0;
      block ^= t ^ (t << 28);
      // Row i from byte i to byte 7 - i.
      uint64_t rows = 0;
      for (int i = 0; i < 8; ++i) rows |= (block >> (8 * i) & 0xFF) << (8 * (7 - i));
      matrices[2 * out + in] = rows;
    }
  }
}

void GfPortableRegion(unsigned char* dst, const unsigned char* src, uint16_t factor, size_t bytes) {
  // The product of a word is the product of its low byte XOR that of its high byte times 2^8:
  // two lookups in 256-entry tables.
  uint16_t basis[16], low[256], high[256];
  Basis(factor, basis);
  Combine(basis, low, 256);
  Combine(basis + 8, high, 256);
  // Two words at a time, written back as one 32-bit number (which measured five times as fast
  // as words one by one or four at a time).
  for (; bytes >= 4; bytes -= 4, src += 4, dst += 4) {
    const uint32_t product = uint32_t{static_cast<uint16_t>(low[src[0]] ^ high[src[1]])} |
                             uint32_t{static_cast<uint16_t>(low[src[2]] ^ high[src[3]])} << 16;
    StoreLittleEndian32(LoadLittleEndian32(dst) ^ product, dst);
  }
  for (; bytes >= 2; bytes -= 2, src += 2, dst += 2) {
    const uint16_t product = low[src[0]] ^ high[src[1]];
    dst[0] ^= static_cast<unsigned char>(product);
    dst[1] ^= static_cast<unsigned char>(product >> 8);
  }
}

void GfTiledMultiplyAdd(GfRegionFunction region, GfPairRegionFunction pair,
                        const unsigned char* const* src, size_t inputs, unsigned char* const* dst,
                        size_t outputs, const uint16_t* factors, size_t bytes) {
  // 16 KiB of an output fits the first-level cache beside the input's tile passing through it;
  // 16 inputs of 16 KiB fit the second level.
  constexpr size_t kTile = 16384;
  for (size_t at = 0; at < bytes; at += kTile) {
    const size_t count = std::min(kTile, bytes - at);
    size_t j = 0;
    for (; pair != nullptr && j + 1 < outputs; j += 2) {
      for (size_t i = 0; i < inputs; ++i) {
        const uint16_t factor0 = factors[j * inputs + i], factor1 = factors[(j + 1) * inputs + i];
        if (factor0 > 1 && factor1 > 1) {
          pair(dst[j] + at, dst[j + 1] + at, src[i] + at, factor0, factor1, count);
          continue;
        }
        if (factor0 != 0) region(dst[j] + at, src[i] + at, factor0, count);
        if (factor1 != 0) region(dst[j + 1] + at, src[i] + at, factor1, count);
      }
    }
    for (; j < outputs; ++j) {
      for (size_t i = 0; i < inputs; ++i) {
        const uint16_t factor = factors[j * inputs + i];
        if (factor != 0) region(dst[j] + at, src[i] + at, factor, count);
      }
    }
  }
}

void GfMultiplyAdd(const unsigned char* const* src, size_t inputs, unsigned char* const* dst,
                   size_t outputs, const uint16_t* factors, size_t bytes) {
  // Before main has begun, gPaths may still be empty: the portable path does the work.
  const GfMultiplyAddFunction run =
      gPaths.count > 0 ? gPaths.paths[0].multiplyAdd : PortableMultiplyAdd;
  run(src, inputs, dst, outputs, factors, bytes);
}

std::span<const GfPath> GfPaths() {
  return {gPaths.paths, gPaths.count};
}
