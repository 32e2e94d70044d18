// Known answers of the number-to-text conversion and of its digit routines.
#include "conv/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "conv/format_digits.h"
#include "tests/bits.h"

namespace {

struct Case {
  double value;
  const char* digits;
  int32_t exponent;
  const char* text;
};

void ExpectAll(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    int32_t e = -1234;
    int32_t negative = -1;
    const std::string digits = GenerateDigits(c.value, 15, &e, &negative);
    EXPECT_EQ(digits, c.digits) << c.text;
    EXPECT_EQ(e, c.exponent) << c.text;
    EXPECT_EQ(negative, c.value < 0 ? 1 : 0) << c.text;
    EXPECT_EQ(FormatNumber(c.value), c.text);
  }
}

TEST(FormatNumber, IntegersAndZero) {
  ExpectAll({
      {0.0, "000000000000000", 0, "0"},
      {-0.0, "000000000000000", 0, "0"},  // no sign for minus zero
      {1.0, "100000000000000", 1, "1"},
      {100.0, "100000000000000", 3, "100"},
      {123456.0, "123456000000000", 6, "123456"},
      {1048576.0, "104857600000000", 7, "1048576"},
      {4294967295.0, "429496729500000", 10, "4294967295"},
      {123456789012345.0, "123456789012345", 15, "123456789012345"},  // last fixed form
  });
}

TEST(FormatNumber, FixedOrExponentForm) {
  ExpectAll({
      {999999999999999.0, "100000000000000", 16, "1.00000000000000e+015"},
      {1e15, "100000000000000", 16, "1.00000000000000e+015"},
      {1234567890123456.0, "123456789012346", 16, "1.23456789012346e+015"},
      {1e16, "100000000000000", 17, "1.00000000000000e+016"},
      {1.5e300, "150000000000000", 301, "1.50000000000000e+300"},
      {0.5, "500000000000000", 0, "0.5"},
      {0.0625, "625000000000000", -1, "0.0625"},
      {0.001, "100000000000000", -2, "0.001"},
      {0.0001, "100000000000000", -3, "0.0001"},  // last fixed form below 1
      {0.000123456, "123456000000000", -3, "0.000123456"},
      {0.00001, "100000000000000", -4, "1.00000000000000e-05"},  // the sign counts in %03d
      {0.000099999, "999990000000000", -4, "9.99990000000000e-05"},
      {1e-100, "100000000000000", -99, "1.00000000000000e-100"},
      {123.456, "123456000000000", 3, "123.456"},
  });
}

TEST(FormatNumber, RoundingAtTheSixteenthDigit) {
  ExpectAll({
      {1.0 / 3.0, "333333333333333", 0, "0.333333333333333"},
      {2.0 / 3.0, "666666666666667", 0, "0.666666666666667"},  // half up
      {0.1 + 0.2, "300000000000000", 0, "0.3"},
      {9.9999999999999, "999999999999990", 1, "9.9999999999999"},
      {9.99999999999999, "100000000000000", 2, "10"},  // the upper bound itself
      {99.9999999999999, "100000000000000", 3, "100"},
  });
}

TEST(FormatNumber, NegativeValues) {
  ExpectAll({
      {-2.5, "250000000000000", 1, "-2.5"},
      {-12345.6789, "123456789000000", 5, "-12345.6789"},
      {-1e-10, "100000000000000", -9, "-1.00000000000000e-10"},
  });
}

TEST(FormatNumber, ScalingBounds) {
  const double lower = 0.999999999999999;
  const double upper = 9.99999999999999;
  EXPECT_EQ(Bits(lower), 0x3FEFFFFFFFFFFFF7u);
  EXPECT_EQ(Bits(upper), 0x4023FFFFFFFFFFFAu);
  // Just below L is scaled up; L itself is not.
  int32_t e = 0;
  int32_t negative = 0;
  GenerateDigits(lower, 15, &e, &negative);
  EXPECT_EQ(e, 1);
  EXPECT_EQ(FormatNumber(FromBits(0x3FEFFFFFFFFFFFF6u)), "1");  // scaled, then rounded up
  // Just below H stays; H and above are divided, and come out as 10.
  EXPECT_EQ(FormatNumber(FromBits(0x4023FFFFFFFFFFF9u)), "9.99999999999999");
  EXPECT_EQ(FormatNumber(FromBits(0x4023FFFFFFFFFFFBu)), "10");
  EXPECT_EQ(FormatNumber(std::nextafter(10.0, 0.0)), "10");
  EXPECT_EQ(FormatNumber(10.0), "10");
  // The largest and smallest doubles stay finite in the scaling loops.
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::max()).substr(0, 12), "1.7976931348");
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::max()).substr(16), "e+308");
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::denorm_min()).substr(0, 12), "4.9406564584");
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::denorm_min()).substr(16), "e-324");
}

TEST(FormatNumber, NonFiniteValuesDoNotLoop) {
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::quiet_NaN()), "nan");
  int32_t e = 7;
  int32_t negative = 7;
  EXPECT_STREQ(GenerateDigits(std::numeric_limits<double>::infinity(), 15, &e, &negative), "");
  EXPECT_EQ(e, 0);
}

TEST(FormatNumber, ResultsAreIndependent) {
  const std::string first = FormatNumber(1.5);
  const std::string second = FormatNumber(2.75);
  EXPECT_EQ(first, "1.5");
  EXPECT_EQ(second, "2.75");
}

TEST(FormatNumber, EveryUnsigned32BitIntegerIsPlainDecimal) {
  // Every power of ten and its neighbours, the 2^k edges, and a stride over the whole range.
  std::vector<uint64_t> values = {0, 4294967295u, 2147483648u, 2147483647u};
  for (uint64_t p = 1; p <= 1000000000u; p *= 10) {
    values.push_back(p - 1);
    values.push_back(p);
    values.push_back(p + 1);
  }
  for (int k = 0; k < 32; ++k) values.push_back(uint64_t{1} << k);
  for (uint64_t v = 0; v <= 4294967295u; v += 65537 * 3) values.push_back(v);
  for (uint64_t v : values) {
    ASSERT_EQ(FormatNumber(static_cast<double>(v)), std::to_string(v));
  }
}

TEST(GenerateDigits, RefusesCountsThatDoNotFit) {
  int32_t e = 0;
  int32_t negative = 0;
  EXPECT_STREQ(GenerateDigits(1.0, kDigitBufferSize, &e, &negative), "");
  EXPECT_STREQ(GenerateDigits(1.0, 1 << 30, &e, &negative), "");
  EXPECT_STREQ(GenerateDigits(1.0, -1, &e, &negative), "");
  EXPECT_STREQ(GenerateDigits(1.0, 0, &e, &negative), "");
  EXPECT_EQ(std::strlen(GenerateDigits(2.0 / 3.0, kDigitBufferSize - 1, &e, &negative)),
            static_cast<size_t>(kDigitBufferSize - 1));
}

TEST(RoundUpDigit, CarriesLeftAndStopsAtTheFront) {
  int32_t e = 0;
  int32_t negative = 0;
  GenerateDigits(0.0, 4, &e, &negative);
  const char nines[] = {0, 9, 9, 9};
  std::memcpy(DigitBuffer, nines, 4);
  RoundUpDigit(3);
  EXPECT_EQ(std::string(DigitBuffer, 4), std::string("\1\0\0\0", 4));
  RoundUpDigit(-1);  // outside: ignored
  RoundUpDigit(kDigitBufferSize);
  EXPECT_EQ(std::string(DigitBuffer, 4), std::string("\1\0\0\0", 4));
}

TEST(FloorToInt, TruncatesThenStepsDownForNegatives) {
  EXPECT_EQ(FloorToInt(0.0), 0);
  EXPECT_EQ(FloorToInt(9.999999999999998), 9);
  EXPECT_EQ(FloorToInt(-0.5), -1);
  EXPECT_EQ(FloorToInt(-2.0), -2);
  EXPECT_EQ(FloorToInt(-2.25), -3);
  EXPECT_EQ(FloorToInt(2147483647.5), 2147483647);
  EXPECT_EQ(FloorToInt(1e300), INT32_MAX);  // saturated, not undefined
  EXPECT_EQ(FloorToInt(-1e300), INT32_MIN);
  EXPECT_EQ(FloorToInt(std::nan("")), 0);
}

}  // namespace
