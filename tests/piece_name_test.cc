// Piece names: formatting them from a base number or a base text, and cutting a dropped
// piece's path back to its base.
#include "core/piece_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string NameOf(int32_t base, uint32_t index) {
  return PieceName(base, index);
}
std::string NameOf(const std::string& baseText, uint32_t index) {
  return PieceName(baseText, index);
}

TEST(PieceName, FromABaseNumber) {
  EXPECT_EQ(NameOf(4711, 0), "4711-00");
  EXPECT_EQ(NameOf(7, 0), "7-00");  // no leading zeros in the base
  EXPECT_EQ(NameOf(0, 5), "0-05");
  EXPECT_EQ(NameOf(99998, 99), "99998-99");  // the largest base number
  EXPECT_EQ(NameOf(4711, 100), "4711-100");  // three digits from 100 on, not cut to two
}

TEST(PieceName, FromABaseText) {
  EXPECT_EQ(NameOf("C:\\work\\4711", 3), "C:\\work\\4711-03");
  EXPECT_EQ(NameOf("\x83\x5C", 0), "\x83\x5C-00");  // a trail byte 0x5C stays as it is
  EXPECT_EQ(NameOf("", 0), "-00");
  // The longest base text the program holds (the UTF-8 of the longest path Windows allows,
  // 32,767 UTF-16 units of up to three bytes each) keeps every byte, with the largest index; a
  // formatter that takes the base through "%s" cuts it at 1024 characters.
  const std::string longest(3 * 32767, 'a');
  EXPECT_EQ(NameOf(longest, 2147483647u), longest + "-2147483647");
}

// The base of a dropped piece, or "(none)".
std::string BaseOf(const char* piece) {
  FilePath base;
  return BaseOfPiece(FilePath(piece), &base) ? base.value() : "(none)";
}

TEST(BaseOfPiece, CutsTheLastThreeCharacters) {
  EXPECT_EQ(BaseOf("C:\\work\\4711-00"), "C:\\work\\4711");
  EXPECT_EQ(BaseOf("4711-100"), "4711-");
  EXPECT_EQ(BaseOf("-00"), "");
  EXPECT_EQ(BaseOf("ab"), "(none)");  // nothing to cut
  EXPECT_EQ(BaseOf(""), "(none)");
  // UTF-8: a character of two, three or four bytes counts once and is never cut in half.
  EXPECT_EQ(BaseOf("caf\xC3\xA9\xE3\x82\xBD\xF0\x9F\x98\x80"), "caf");  // "café" ソ 😀
  EXPECT_EQ(BaseOf("\x95\xAA\x8A\x84"), "\x95");  // stray continuation bytes count one each
}

}  // namespace
