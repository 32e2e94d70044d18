// The platform's plain helpers of text, which the program formats its names and numbers with:
// the same results in every lane, whatever the system's own formatter or locale would give.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/ascii.h"
#include "platform/platform.h"

namespace {

TEST(PlatformText, FormattingNeverOverflows) {
  char out[8];
  EXPECT_EQ(FormatText(out, sizeof out, "%d-%02d", 4711, 3), 7);
  EXPECT_STREQ(out, "4711-03");
  EXPECT_EQ(FormatText(out, sizeof out, "%d-%02d", 4711, 100), -1);  // 8 bytes and the NUL
  EXPECT_STREQ(out, "");
  EXPECT_EQ(FormatText(out, sizeof out, "%s", "1234567"), 7);
  EXPECT_EQ(FormatText(out, sizeof out, "%03d", -5), 3);
  EXPECT_STREQ(out, "-05");
}

TEST(PlatformText, FormattingIsTheSameOnBothSystems) {
  // The conversions the program uses, and others, which give nothing rather than what one
  // system's formatter makes of them.
  char out[32];
  const auto text = [&](int length) {
    return length < 0 ? std::string("(none)") : std::string(out);
  };
  EXPECT_EQ(text(FormatText(out, sizeof out, "%d|%d", INT_MIN, INT_MAX)), "-2147483648|2147483647");
  EXPECT_EQ(text(FormatText(out, sizeof out, "%lu %u%%", 4294967295ul, 37u)), "4294967295 37%");
  EXPECT_EQ(text(FormatText(out, sizeof out, "+%03d %2d|%s", 7, 3, "")), "+007  3|");
  EXPECT_EQ(text(FormatText(out, sizeof out, "%llu", 1ull)), "(none)");
  EXPECT_EQ(text(FormatText(out, sizeof out, "%f", 1.0)), "(none)");
  EXPECT_EQ(text(FormatText(out, sizeof out, "%zu", size_t{1})), "(none)");
}

TEST(PlatformText, UpperCasingTouchesOnlyAsciiLetters) {
  char text[] =
      "&h1f az AZ 09 _@[`{ \xE9\xFF\x82\x81";  // and bytes of code pages, whatever the locale
  UpperCaseAscii(text);
  EXPECT_STREQ(text, "&H1F AZ AZ 09 _@[`{ \xE9\xFF\x82\x81");
}

}  // namespace
