// Known answers of the text-to-number conversion, compared by bit pattern.
#include "conv/parse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/bits.h"

namespace {

struct Case {
  const char* text;
  double expected;
  const char* why;
};

void ExpectAll(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const double got = ParseNumber(c.text);
    EXPECT_EQ(Bits(got), Bits(c.expected))
        << "text \"" << c.text << "\" (" << c.why << "): got " << got << ", want " << c.expected;
  }
}

constexpr double kTwo63 = 9223372036854775808.0;

TEST(ParseNumber, SignsAndBlanks) {
  ExpectAll({
      {"", 0.0, "no number"},
      {" \t  ", 0.0, "only blanks"},
      {" \t 42", 42.0, "spaces and tabs are skipped"},
      {"\r42", 0.0, "a carriage return is no blank"},
      {"\n42", 0.0, "nor a line feed"},
      {"\x81\x40"
       "42",
       0.0, "nor the ideographic space"},
      {"007", 7.0, "leading zeros"},
      {"+7", 7.0, "plus sign"},
      {"-7", -7.0, "minus sign"},
      {"-", -0.0, "a lone minus gives minus zero"},
      {"- 5", -0.0, "no blanks after the sign"},
      {"+-5", 0.0, "one sign only"},
      {"--5", -0.0, "one sign only, negative"},
  });
}

TEST(ParseNumber, TheRestOfTheTextIsIgnored) {
  ExpectAll({
      {"1.2.3", 1.2, "second point"},
      {"1e3", 1.0, "no exponent"},
      {"1,000", 1.0, "no digit groups"},
      {"12abc", 12.0, "letters"},
      {"0x1F", 0.0, "no C prefixes"},
      {"\x82\x50\x82\x51", 0.0, "full-width digits are no digits"},
      {"5 6", 5.0, "blank after the number"},
  });
}

TEST(ParseNumber, Fractions) {
  ExpectAll({
      {"1.5", 1.5, "exact"},
      {".5", 0.5, "no integer digits"},
      {"5.", 5.0, "no fraction digits"},
      {"-.25", -0.25, "negative fraction"},
      {"0.1", 0.1, "one digit rounds to the nearest"},
      {"1.9", 1.9, "nearest"},
      {"2.25", 2.25, "exact"},
      {"123.456", 123.456, "nearest"},
      {"0.12", FromBits(0x3FBEB851EB851EB9u), "one ulp above the nearest double"},
      {"1.15", FromBits(0x3FF2666666666667u), "nearest is ...666"},
      {"3.14159", FromBits(0x400921F9F01B866Fu), "nearest is ...66E"},
      {"-0.0", -0.0, "minus zero with a fraction"},
  });
}

TEST(ParseNumber, HexAndOctal) {
  ExpectAll({
      {"&H1F", 31.0, "hexadecimal"},
      {"&h1f", 31.0, "either case"},
      {"&hAbC", 2748.0, "mixed case"},
      {"&O17", 15.0, "octal"},
      {"&o17", 15.0, "either case"},
      {"&017", 0.0, "digit zero is no letter O"},
      {"&O8", 0.0, "8 ends an octal run at once"},
      {"&O178", 15.0, "8 ends the run"},
      {"&H", 0.0, "empty run"},
      {"&", 0.0, "no letter"},
      {"&X12", 0.0, "unknown letter"},
      {"& H10", 0.0, "no blank after &"},
      {" &H10", 16.0, "leading blank skipped"},
      {"-&H10", -0.0, "& ends the decimal number"},
      {"&H1G", 1.0, "G ends the run"},
      {"&H1.8", 1.0, "no fraction"},
      {"&HFFFFFFFF", 4294967295.0, "32 bits"},
  });
}

TEST(ParseNumber, HexAndOctalWrapAround) {
  ExpectAll({
      {"&H7FFFFFFFFFFFFFFF", kTwo63, "the sum rounds up"},
      {"&H8000000000000000", -kTwo63, "16th digit from the right reads as negative"},
      {"&HFFFFFFFFFFFFFFFF", 0.0, "2^60 from 15 digits, then -2^60"},
      {"&H10000000000000000", 0.0, "17th digit: multiplier wrapped to 0"},
      {"&HF000000000000000", -1152921504606846976.0, "(15 - 16) * 2^60"},
      {"&O1000000000000000000000", -kTwo63, "22nd octal digit, odd"},
      {"&O2000000000000000000000", 0.0, "22nd octal digit, even"},
      {"&O7000000000000000000000", -kTwo63, "22nd octal digit 7: 7 * 2^63 wraps to 2^63"},
      {"&O31000000000000000000000", -kTwo63, "23rd octal digit adds nothing"},
  });
}

TEST(ParseNumber, DecimalIntegersUpTo15DigitsAreExact) {
  // A linear congruential walk over 15-digit numbers, with and without leading zeros.
  uint64_t x = 12345;
  for (int i = 0; i < 20000; ++i) {
    x = x * 6364136223846793005u + 1442695040888963407u;
    const int digits = 1 + static_cast<int>((x >> 7) % 15);
    uint64_t limit = 1;
    for (int d = 0; d < digits; ++d) limit *= 10;
    const uint64_t value = (x >> 11) % limit;
    std::string text = std::to_string(value);
    if (i % 3 == 0) text = "000" + text;
    ASSERT_EQ(ParseNumber(text.c_str()), static_cast<double>(value)) << text;
  }
  ASSERT_EQ(ParseNumber("999999999999999"), 999999999999999.0);
  ASSERT_EQ(ParseNumber("4294967295"), 4294967295.0);
}

TEST(ParseNumber, LongTextsAreReadSafely) {
  // Far beyond the 255 bytes of the size field: no fixed copy may overflow.
  const std::string nines(400, '9');
  EXPECT_FALSE(std::isfinite(ParseNumber(nines.c_str())));
  const std::string hex = "&H" + std::string(5000, '1') + "zz";
  EXPECT_TRUE(std::isfinite(ParseNumber(hex.c_str())));
  const std::string fraction = "0." + std::string(5000, '3');
  EXPECT_EQ(Bits(ParseNumber(fraction.c_str())),
            Bits(ParseNumber(fraction.substr(0, 400).c_str())));
  const std::string tail = "12" + std::string(100000, 'x');
  EXPECT_EQ(ParseNumber(tail.c_str()), 12.0);
}

TEST(ParseNumber, TheTextIsNotChanged) {
  char text[] = "&hff";
  EXPECT_EQ(ParseNumber(text), 255.0);
  EXPECT_STREQ(text, "&hff");
}

}  // namespace
