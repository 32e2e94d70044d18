// Piece names: formatting them from a base number or a base text, and cutting a dropped
// piece's path back to its base.
#include "core/piece_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string NameOf(int32_t base, uint32_t index) {
  char name[kPieceNameBytes];
  return FormatPieceName(name, base, index) ? name : "<does not fit>";
}
std::string NameOf(const std::string& baseText, uint32_t index) {
  char name[kPieceNameBytes];
  return FormatPieceName(name, baseText.c_str(), index) ? name : "<does not fit>";
}

TEST(FormatPieceName, FromABaseNumber) {
  EXPECT_EQ(NameOf(4711, 0), "4711-00");
  EXPECT_EQ(NameOf(7, 0), "7-00");  // no leading zeros in the base
  EXPECT_EQ(NameOf(0, 5), "0-05");
  EXPECT_EQ(NameOf(99998, 99), "99998-99");  // the largest base number
  EXPECT_EQ(NameOf(4711, 100), "4711-100");  // three digits from 100 on, not cut to two
}

TEST(FormatPieceName, FromABaseText) {
  EXPECT_EQ(NameOf("C:\\work\\4711", 3), "C:\\work\\4711-03");
  EXPECT_EQ(NameOf("\x83\x5C", 0), "\x83\x5C-00");  // a trail byte 0x5C stays as it is
  EXPECT_EQ(NameOf("", 0), "-00");
  // The longest base text the program holds, 259 bytes, fits with any index.
  const std::string longest(259, 'a');
  EXPECT_EQ(NameOf(longest, 2147483647u), longest + "-2147483647");
  // A longer one that does not fit is refused rather than cut.
  EXPECT_EQ(NameOf(std::string(kPieceNameBytes - 3, 'a'), 0), "<does not fit>");
}

TEST(CutPieceSuffix, CutsTheLastThreeBytes) {
  char piece[] = "C:\\work\\4711-00";
  EXPECT_TRUE(CutPieceSuffix(piece));
  EXPECT_STREQ(piece, "C:\\work\\4711");
  char threeDigits[] = "4711-100";
  EXPECT_TRUE(CutPieceSuffix(threeDigits));
  EXPECT_STREQ(threeDigits, "4711-");
  char exact[] = "-00";
  EXPECT_TRUE(CutPieceSuffix(exact));
  EXPECT_STREQ(exact, "");
  char shortText[] = "ab";  // nothing to cut: no write before the text
  EXPECT_FALSE(CutPieceSuffix(shortText));
  EXPECT_STREQ(shortText, "ab");
  char empty[] = "";
  EXPECT_FALSE(CutPieceSuffix(empty));
}

}  // namespace
