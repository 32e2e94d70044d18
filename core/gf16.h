// The arithmetic of the PAR 2.0 format's recovery slices: the field GF(2^16) with generator
// polynomial x^16 + x^12 + x^3 + x + 1 (0x1100B), whose elements are 16-bit words. Adding is
// XOR. A recovery slice is a sum of input slices, each multiplied word by word by a constant,
// so the work is GfMultiplyAdd over whole regions; it runs on the fastest vector path of the
// CPU. The path is chosen and the tables of logarithms are filled before main, so none of
// these is for use by another initialiser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

uint16_t GfMultiply(uint16_t a, uint16_t b);
uint16_t GfDivide(uint16_t a, uint16_t b);        // b != 0
uint16_t GfPower(uint16_t a, uint32_t exponent);  // a^0 == 1, 0^0 included

// The format allows this many input slices: one for each power of 2 of order 65535.
constexpr uint32_t kPar2MaxInputSlices = 32768;
// The constant of input slice `index` (below kPar2MaxInputSlices): 2^n for the n >= 1 with
// n % 3, n % 5, n % 17 and n % 257 all non-zero, the index-th of them from 0: 2, 4, 16, 128,
// 256, 2048, 8192, 16384, 4107, 32856, 17132, ...
uint16_t Par2InputConstant(uint32_t index);

// For every output j < outputs: dst[j] ^= sum over i < inputs of factors[j * inputs + i] * src[i],
// over `bytes` bytes (a multiple of 2) read as 16-bit little-endian words. The regions of src
// and dst do not overlap and need no alignment. A factor 0 adds nothing, 1 adds the words as
// they are.
void GfMultiplyAdd(const unsigned char* const* src, size_t inputs, unsigned char* const* dst,
                   size_t outputs, const uint16_t* factors, size_t bytes);

typedef void (*GfMultiplyAddFunction)(const unsigned char* const* src, size_t inputs,
                                      unsigned char* const* dst, size_t outputs,
                                      const uint16_t* factors, size_t bytes);

// One way of computing GfMultiplyAdd, for the tests and the benchmark.
struct GfPath {
  const char* name;
  GfMultiplyAddFunction multiplyAdd;
};

// The paths this CPU can run, the one GfMultiplyAdd uses first, the portable one last.
std::span<const GfPath> GfPaths();
