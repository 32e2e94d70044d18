// From the size field's number to a piece size.
#include "conv/piece_size.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(PieceSizeFromNumber, TruncatesAndKeepsTheLow32Bits) {
  EXPECT_EQ(PieceSizeFromNumber(500.0), 500);
  EXPECT_EQ(PieceSizeFromNumber(1.9), 1);    // toward zero, not to nearest
  EXPECT_EQ(PieceSizeFromNumber(-1.9), -1);  // toward zero for negatives too
  EXPECT_EQ(PieceSizeFromNumber(0.99), 0);
  EXPECT_EQ(PieceSizeFromNumber(-0.0), 0);
  EXPECT_EQ(PieceSizeFromNumber(2147483648.0), INT32_MIN);  // two's complement
  EXPECT_EQ(PieceSizeFromNumber(4294967297.0), 1);
  EXPECT_EQ(PieceSizeFromNumber(4294967296.0), 0);
  EXPECT_EQ(PieceSizeFromNumber(9223372036854774784.0), -1024);  // largest below 2^63
  EXPECT_EQ(PieceSizeFromNumber(9223372036854775808.0), 0);      // 2^63: no 64-bit integer
  EXPECT_EQ(PieceSizeFromNumber(-9223372036854775808.0), 0);
  EXPECT_EQ(PieceSizeFromNumber(1e300), 0);
  EXPECT_EQ(PieceSizeFromNumber(std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(PieceSizeFromNumber(std::nan("")), 0);
}

TEST(ApplyUnitFactor, WrapsModulo2To32) {
  EXPECT_EQ(ApplyUnitFactor(500, 1024), 512000);
  EXPECT_EQ(ApplyUnitFactor(2048, 1024u * 1024u), INT32_MIN);  // 2^31
  EXPECT_EQ(ApplyUnitFactor(4194304, 1024), 0);                // 2^32
  EXPECT_EQ(ApplyUnitFactor(4097, 1024u * 1024u), 1048576);
  EXPECT_EQ(ApplyUnitFactor(-1, 1024), -1024);
}

}  // namespace
