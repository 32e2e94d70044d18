// From the size field's number to a piece size.
#include "conv/piece_size.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(PieceBytesFromNumber, TruncatesAndKeepsTheLow32Bits) {
  EXPECT_EQ(PieceBytesFromNumber(500.0), 500u);
  EXPECT_EQ(PieceBytesFromNumber(1.9), 1u);             // toward zero, not to nearest
  EXPECT_EQ(PieceBytesFromNumber(-1.9), uint32_t(-1));  // toward zero for negatives too
  EXPECT_EQ(PieceBytesFromNumber(0.99), 0u);
  EXPECT_EQ(PieceBytesFromNumber(-0.0), 0u);
  EXPECT_EQ(PieceBytesFromNumber(2147483648.0), 0x80000000u);  // two's complement
  EXPECT_EQ(PieceBytesFromNumber(4294967297.0), 1u);
  EXPECT_EQ(PieceBytesFromNumber(4294967296.0), 0u);
  EXPECT_EQ(PieceBytesFromNumber(9223372036854774784.0), uint32_t(-1024));  // largest below 2^63
  EXPECT_EQ(PieceBytesFromNumber(9223372036854775808.0), 0u);  // 2^63: no 64-bit integer
  EXPECT_EQ(PieceBytesFromNumber(-9223372036854775808.0), 0u);
  EXPECT_EQ(PieceBytesFromNumber(1e300), 0u);
  EXPECT_EQ(PieceBytesFromNumber(std::numeric_limits<double>::infinity()), 0u);
  EXPECT_EQ(PieceBytesFromNumber(std::nan("")), 0u);
}

TEST(ScaleByUnit, WrapsModulo2To32) {
  EXPECT_EQ(ScaleByUnit(500, 1024), 512000u);
  EXPECT_EQ(ScaleByUnit(2048, 1024u * 1024u), 0x80000000u);  // 2^31
  EXPECT_EQ(ScaleByUnit(4194304, 1024), 0u);                 // 2^32
  EXPECT_EQ(ScaleByUnit(4097, 1024u * 1024u), 1048576u);
  EXPECT_EQ(ScaleByUnit(uint32_t(-1), 1024), uint32_t(-1024));
}

}  // namespace
