// From the number in the size field to the piece size in bytes.
#pragma once

#include <cstdint>

// Cuts the fraction off toward zero and keeps the low 32 bits of the 64-bit integer, in two's
// complement. NaN and magnitudes of 2^63 or more, which have no 64-bit integer, give 0.
int32_t PieceSizeFromNumber(double value);

// The size times the unit factor (1, 1024 or 1024 * 1024), modulo 2^32 as a signed number.
int32_t ApplyUnitFactor(int32_t size, uint32_t factor);
