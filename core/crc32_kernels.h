// What core/crc32.cc shares with the per-processor files: the arithmetic of the CRC as
// polynomials over GF(2), the table path for the ends of a run, and the list of vector paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/crc32.h"

// The CRC's register holds a polynomial of degree below 32 with x^0 in bit 31 and x^31 in
// bit 0 (the reflected order), reduced modulo P = x^32 + x^26 + ... + 1, whose terms below
// x^32 in that order are this number.
constexpr uint32_t kCrc32Polynomial = 0xEDB88320;

// a * b modulo P.
constexpr uint32_t Crc32MultiplyModP(uint32_t a, uint32_t b) {
  uint32_t product = 0;
  for (int power = 0; power < 32; ++power) {
    if (a & (0x80000000u >> power)) product ^= b;
    b = (b >> 1) ^ ((b & 1) != 0 ? kCrc32Polynomial : 0);  // b * x
  }
  return product;
}

// x^n modulo P, for the small n of the folding constants.
constexpr uint32_t Crc32PowerOfX(uint32_t n) {
  uint32_t power = 0x80000000u;  // x^0
  for (; n > 0; --n) power = (power >> 1) ^ ((power & 1) != 0 ? kCrc32Polynomial : 0);
  return power;
}

// Runs the register `state` (not inverted) over `count` bytes, with tables, 8 bytes a step.
uint32_t Crc32TableUpdate(uint32_t state, const unsigned char* bytes, size_t count);

// The vector paths this CPU can run, fastest first; none on processors other than x86.
std::span<const Crc32Path> Crc32VectorPaths();
