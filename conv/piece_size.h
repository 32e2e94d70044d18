// From the number in the size field to the piece size in bytes: an unsigned 32-bit count from
// the start, whose unit product wraps modulo 2^32.
#pragma once

#include <cstdint>

// Cuts the fraction off toward zero and keeps the low 32 bits of the 64-bit integer, as an
// unsigned count: a number that is negative as a signed 32-bit one is that many bytes. NaN and
// magnitudes of 2^63 or more, which have no 64-bit integer, give 0.
uint32_t PieceBytesFromNumber(double value);

// The size times the unit factor (1, 1024 or 1024 * 1024), modulo 2^32.
uint32_t ScaleByUnit(uint32_t size, uint32_t factor);
