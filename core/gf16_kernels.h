// What core/gf16.cc shares with the per-processor files: the shape of a function that
// multiplies one region into another, the loop that runs such a function over the tiles of a
// GfMultiplyAdd call, and the tables the vector paths look products up in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/gf16.h"

// dst ^= factor * src over `bytes` bytes (a multiple of 2); factor is not 0.
typedef void (*GfRegionFunction)(unsigned char* dst, const unsigned char* src, uint16_t factor,
                                 size_t bytes);

// The portable region function: the vector paths finish the last few words with it.
void GfPortableRegion(unsigned char* dst, const unsigned char* src, uint16_t factor, size_t bytes);

// dst0 ^= factor0 * src and dst1 ^= factor1 * src over `bytes` bytes (a multiple of 2), in one
// pass over src; neither factor is 0 or 1.
typedef void (*GfPairRegionFunction)(unsigned char* dst0, unsigned char* dst1,
                                     const unsigned char* src, uint16_t factor0, uint16_t factor1,
                                     size_t bytes);

// Runs `region` over every pair of input and output with a factor other than 0, a tile of the
// regions at a time, so that an output's tile stays in the first-level cache while the inputs
// are added to it, and the inputs' tiles stay in the second level while the outputs take turns.
// Where `pair` is not null, two outputs at a time take each input in one pass through it, which
// loads its words and takes them apart once for both: 8 inputs into 11 outputs measured 7%
// faster so with AVX2 and 15% with GFNI.
void GfTiledMultiplyAdd(GfRegionFunction region, GfPairRegionFunction pair,
                        const unsigned char* const* src, size_t inputs, unsigned char* const* dst,
                        size_t outputs, const uint16_t* factors, size_t bytes);

// The products of `factor` with each of the 16 values of one 4-bit part of a word, for the
// four parts from the lowest: tables[2 * k] holds the low bytes of factor * (n << 4k) for
// n = 0..15, tables[2 * k + 1] their high bytes. Vector code looks the 4-bit parts up in them
// with a byte shuffle.
void GfNibbleTables(uint16_t factor, unsigned char tables[8][16]);

// Multiplying a word by `factor` is a linear map of its 16 bits: here as four 8 x 8 bit
// matrices in the layout of the GFNI instruction gf2p8affineqb (row i of a matrix in its byte
// 7 - i, bit j of a row for bit j of the input byte), matrices[2 * out + in] making the low
// (out 0) or high byte of the product from the low (in 0) or high byte of the word.
void GfBitMatrices(uint16_t factor, uint64_t matrices[4]);

// The vector paths this CPU can run, widest first; none on processors other than x86.
std::span<const GfPath> GfVectorPaths();
