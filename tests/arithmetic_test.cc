// The conversions depend on every operation being rounded to double before the next one.
// These cases come out differently with x87 80-bit intermediates or with fused multiply-add,
// so they fail on a build that lets either happen.
#include <gtest/gtest.h>

#include "tests/bits.h"

namespace {

// Kept opaque so that the compiler cannot fold the arithmetic at build time.
volatile double g_one = 1.0;
volatile double g_halfUlp = 1.0 / 9007199254740992.0;  // 2^-53
volatile double g_third = 1.0 / 3.0;
volatile double g_three = 3.0;

TEST(Arithmetic, EverySumIsRoundedToDouble) {
  // (1 + 2^-53) rounds to 1 (ties to even); adding 2^-53 again stays 1. Carried in 80 bits,
  // the two halves would add up to 1 + 2^-52.
  const double sum = (g_one + g_halfUlp) + g_halfUlp;
  EXPECT_EQ(Bits(sum), Bits(1.0));
}

TEST(Arithmetic, NoFusedMultiplyAdd) {
  // (1/3) * 3 rounds to exactly 1, so the difference is 0; fused, it would be -2^-54.
  const double product = g_third * g_three;
  const double difference = product - g_one;
  EXPECT_EQ(Bits(difference), Bits(0.0));
}

TEST(Arithmetic, ProductsAreRoundedBeforeUse) {
  // 0.1 * 10 as doubles is exactly 1; a wider product of 0.1 * 10 is 1 + 2^-54 and minus 1 is
  // not zero.
  volatile double tenth = 0.1;
  volatile double ten = 10.0;
  const double product = tenth * ten;
  EXPECT_EQ(Bits(product - g_one), Bits(0.0));
}

}  // namespace
