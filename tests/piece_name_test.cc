// From a dropped piece path to the base text that restoring starts from.
#include <gtest/gtest.h>

#include "core/restore_path.h"

namespace {

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
