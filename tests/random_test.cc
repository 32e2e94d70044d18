// Known sequences of the piece-name generator.
#include "conv/random.h"

#include <gtest/gtest.h>

#include "tests/bits.h"
#include "tests/fault_ops.h"

namespace {

TEST(NextRandom, FirstTenResultsFromStateOne) {
  SetRandomState(1);
  const int32_t expected[] = {16838, 5758, 10113, 17515, 31051, 5627, 23010, 7419, 16212, 4086};
  for (int32_t value : expected) EXPECT_EQ(NextRandom(), value);
}

TEST(NextRandom, StateWithTopBitSetReadsAsUnsigned) {
  // After the first draw the state is 0x41C67EA6; the second makes 0x967EB0E7, whose top bit
  // would give a negative number if the state were read as signed.
  SetRandomState(0x41C67EA6u);
  EXPECT_EQ(NextRandom(), 5758);
  SetRandomState(0x967EB0E7u);
  EXPECT_EQ(NextRandom(), 10113);  // proves the state after call 2 was 0x967EB0E7
}

TEST(NextRandom, WrapsAtTheExtremes) {
  SetRandomState(0);
  EXPECT_EQ(NextRandom(), 0);  // new state 12345
  EXPECT_EQ(NextRandom(), 21468);
  SetRandomState(0xFFFFFFFFu);
  EXPECT_EQ(NextRandom(), 15929);
  SetRandomState(0xBE39E1CCu);  // the state that draw leaves
  SetRandomState(0xFFFFFFFFu);
  NextRandom();
  const int32_t next = NextRandom();
  SetRandomState(0xBE39E1CCu);
  EXPECT_EQ(NextRandom(), next);
}

TEST(RandomFraction, KnownValuesAreTheNearestDoubles) {
  SetRandomState(1);
  const double first = RandomFraction();   // 16838 * 5758 = 96,953,204
  const double second = RandomFraction();  // 10113 * 17515 = 177,129,195
  EXPECT_EQ(Bits(first), Bits(0.53204));
  EXPECT_EQ(Bits(second), Bits(0.29195));
  SetRandomState(0);
  EXPECT_EQ(Bits(RandomFraction()), Bits(0.0));  // the first draw is 0
}

TEST(RandomFraction, StaysInRangeOverManySeeds) {
  // Seeds spread over the whole 32-bit range, including both ends.
  for (uint64_t seed = 0; seed <= 0xFFFFFFFFu; seed += 0x10001u * 97u) {
    SetRandomState(static_cast<uint32_t>(seed));
    const double r = RandomFraction();
    ASSERT_GE(r, 0.0);
    ASSERT_LE(r, 0.99999);
    const int32_t base = static_cast<int32_t>(r * 99999.0);
    ASSERT_LT(base, 99999);
  }
}

TEST(SeedRandom, TakesTheTickCountUnchanged) {
  ScopedFaultOps faults;
  FixTickCount(0xFFFFFFFFu);
  SeedRandom();
  EXPECT_EQ(NextRandom(), 15929);
  // Two seeds within one tick give the same draws.
  FixTickCount(1);
  SeedRandom();
  const double a = RandomFraction();
  SeedRandom();
  EXPECT_EQ(Bits(RandomFraction()), Bits(a));
  EXPECT_EQ(Bits(a), Bits(0.53204));
}

}  // namespace
