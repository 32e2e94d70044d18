// Every text of the window, compared with an independent conversion of its readable form
// (UTF-8, as written in the description of the program) to code page 932 by iconv.
#include "ui/texts.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace {

std::string ToCp932(const std::string& utf8) {
  iconv_t converter = iconv_open("CP932", "UTF-8");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  std::string out(utf8.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* at = out.data();
  size_t outLeft = out.size();
  EXPECT_NE(iconv(converter, &in, &inLeft, &at, &outLeft), static_cast<size_t>(-1)) << utf8;
  iconv_close(converter);
  out.resize(out.size() - outLeft);
  return out;
}

TEST(Texts, MatchTheirReadableForms) {
  const struct {
    const char* bytes;
    const char* utf8;
  } cases[] = {
      {kTitle, " File　分割　復元"},
      {kFontFace, "ＭＳ Ｐゴシック"},
      {kTextRestore, "復元"},
      {kTextSplitBy, "で分割"},
      {kTextEnterKey, "Enterキー："},
      {kTextSplit, "分割"},
      {kTextAskSize, "分割サイズを指定してください。"},
      {kTextSplitDone, "○　分割完了"},
      {kTextSplitFailed, "×　分割できませんでした。"},
      {kTextRestoreDone, "○　復元成功　拡張子を元に戻しましょう。"},
      {kTextClearInfo, "　"},
      {kTextRestoreFailed, "×  復元失敗"},
      {kTextOpenFailed, "ファイルオープンに失敗しました。"},
      {kTextStopped, "×　中止しました。"},
      {kTextWorkBlocksShutdown, "ファイルを分割・復元しています。"},
      {kTextPathStart, "file..."},
      {kTextSizeSuffix, " byte"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.bytes, ToCp932(c.utf8)) << c.utf8;
}

TEST(Texts, TitleIsTheGivenBytes) {
  EXPECT_STREQ(kTitle, "\x20\x46\x69\x6C\x65\x81\x40\x95\xAA\x8A\x84\x81\x40\x95\x9C\x8C\xB3");
}

TEST(Texts, SeparatorsAreWhereTheyBelong) {
  // Ideographic spaces (81 40) in the success texts, two ASCII spaces in the restore failure.
  EXPECT_EQ(std::string(kTextSplitDone).substr(2, 2), "\x81\x40");
  EXPECT_EQ(std::string(kTextRestoreFailed).substr(2, 2), "  ");
}

}  // namespace
