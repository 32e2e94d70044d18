// Every text of the window (UTF-16) in code page 932, compared with an independent conversion of
// its readable form (UTF-8) to code page 932: both by glibc's iconv.
#include "ui/texts.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cwchar>
#include <string>

namespace {

std::string ToCp932(const std::string& text, const char* from = "UTF-8") {
  iconv_t converter = iconv_open("CP932", from);
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  std::string out(text.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* at = out.data();
  size_t outLeft = out.size();
  EXPECT_NE(iconv(converter, &in, &inLeft, &at, &outLeft), static_cast<size_t>(-1)) << text;
  iconv_close(converter);
  out.resize(out.size() - outLeft);
  return out;
}

// The code page 932 bytes of one of the program's own (wide) texts.
std::string ToCp932(const wchar_t* wide) {
  return ToCp932(std::string(reinterpret_cast<const char*>(wide), std::wcslen(wide) * sizeof *wide),
                 "WCHAR_T");
}

TEST(Texts, MatchTheirReadableForms) {
  const struct {
    const wchar_t* text;
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
      {kTextPathStart, "file..."},
      {kTextSizeSuffix, " byte"},
      {kTextStopped, "×　中止しました。"},
      {kTextWorkBlocksShutdown, "ファイルを分割・復元しています。"},
      {kTextSizeName, "分割サイズ"},
      {kReasonNoMemory, "メモリーが足りません。"},
      {kReasonNoRoom, "ディスクの空き領域が足りません。"},
      {kReasonTooManyPieces, "ピースの数が多すぎます。"},
      {kReasonSetChanged, "復元の途中でピースが変わりました。"},
      {kReasonPieceMissing, "ピースがないか、短すぎます。"},
      {kTextRecoveryNone, "修復用ピースなし(&0)"},
      {kTextRecoveryOne, "修復用ピース 1 個(&1)"},
      {kTextRecoveryTwo, "修復用ピース 2 個(&2)"},
      {kTextRecoveryThree, "修復用ピース 3 個(&3)"},
      {kTextRecoveryTenth, "修復用ピース 1 割(&T)"},
      {kTextRecoveryMade, "修復用ピース "},
      {kTextRecoveryCount, " 個"},
      {kTextRecoveryRefused, "ピースが多すぎるため、修復用ピースは作りませんでした。"},
      {kTextRepaired, "　修復："},
      {kReasonRecoveryShort, "修復用ピースが "},
      {kReasonRecoveryShortEnd, " 個足りません。"},
      {kReasonPieceDamaged, "ピースの中身が壊れています。"},
      {kReasonListUnreadable, "チェックサムの一覧として読めません。"},
      {kReasonNoFreeName, "空いているピースの名前が見つかりません。"},
      {kTextOriginalName, "元の名前："},
      {kReasonReadOnly, "読み取り専用のファイルは置き換えません。"},
      {kReasonSourceChanged, "分割の途中でファイルが変わりました。"},
      {kTextStopping, "×　中止しています…"},
      {kTextLeftBehind, "削除できなかったファイル："},
      {kTextOthers, " ほか "},
      {kTextFilesCount, " 件"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToCp932(c.text), ToCp932(c.utf8)) << c.utf8;
}

TEST(Texts, TitleIsTheGivenBytes) {
  EXPECT_EQ(ToCp932(kTitle),
            "\x20\x46\x69\x6C\x65\x81\x40\x95\xAA\x8A\x84\x81\x40\x95\x9C\x8C\xB3");
}

TEST(Texts, SeparatorsAreWhereTheyBelong) {
  // Ideographic spaces (81 40) in the success texts, two ASCII spaces in the restore failure.
  EXPECT_EQ(ToCp932(kTextSplitDone).substr(2, 2), "\x81\x40");
  EXPECT_EQ(ToCp932(kTextRestoreFailed).substr(2, 2), "  ");
}

}  // namespace
