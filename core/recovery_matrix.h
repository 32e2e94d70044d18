// The arithmetic of a repair in GF(2^16) (core/gf16.h): which recovery slices rebuild the lost
// pieces, and the matrix that turns their sums back into the pieces. A recovery slice of
// exponent e holds, besides what the whole pieces add, the sum of c^e * piece over the lost
// pieces, c each lost piece's constant: one row of a matrix whose inverse gives the pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// From the constants of the lost pieces and the exponents of the usable recovery slices, in the
// order they are preferred, chooses the first exponents whose rows are independent, as many as
// there are lost pieces; stores their places among `exponents` in `chosen`, and the inverse of
// the square matrix of their rows, row by row, in `inverse`. False when there are fewer such
// rows (too few exponents, or, with exponents that do not follow one another, a rare matrix
// that has no inverse).
bool ChooseAndInvert(const std::vector<uint16_t>& lost, const std::vector<uint32_t>& exponents,
                     std::vector<size_t>* chosen, std::vector<uint16_t>* inverse);
