// Every text of the window: it reads as written (its readable UTF-8 form), and each text of the
// window's design becomes, in code page 932, exactly the bytes given for it here. glibc's iconv
// converts, independently of the program.
#include "ui/texts.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cwchar>
#include <string>

namespace {

std::string FromWide(const char* to, const wchar_t* text) {
  iconv_t converter = iconv_open(to, "WCHAR_T");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(text));
  size_t inLeft = std::wcslen(text) * sizeof(wchar_t);
  std::string out(inLeft + 8, '\0');
  char* at = out.data();
  size_t outLeft = out.size();
  EXPECT_NE(iconv(converter, &in, &inLeft, &at, &outLeft), static_cast<size_t>(-1)) << to;
  iconv_close(converter);
  out.resize(out.size() - outLeft);
  return out;
}

TEST(Texts, ReadAsWritten) {
  const struct {
    const wchar_t* text;
    const char* utf8;
  } cases[] = {
      {kTitle, " File　分割　復元"},
      {kTextStopped, "×　中止しました。"},
      {kTextWorkBlocksShutdown, "ファイルを分割・復元しています。"},
      {kTextSizeName, "分割サイズ"},
      {kReasonNoMemory, "メモリーが足りません。"},
      {kReasonNoRoom, "ディスクの空き領域が足りません。"},
      {kReasonPieceIsSource, "ピースの名前が元のファイルと同じです。"},
      {kReasonTooManyPieces, "ピースの数が多すぎます。"},
      {kReasonSetChanged, "復元の途中でピースが変わりました。"},
  };
  for (const auto& c : cases) EXPECT_EQ(FromWide("UTF-8", c.text), c.utf8);
}

TEST(Texts, AreTheirGivenCodePage932Bytes) {
  const struct {
    const wchar_t* text;
    const char* bytes;
  } cases[] = {
      // The title, byte for byte.
      {kTitle, "\x20\x46\x69\x6C\x65\x81\x40\x95\xAA\x8A\x84\x81\x40\x95\x9C\x8C\xB3"},
      {kFontFace,
       "\x82l\x82r \x82o\x83S\x83V\x83"
       "b\x83N"},
      {kTextRestore, "\x95\x9C\x8C\xB3"},
      {kTextSplitBy, "\x82\xC5\x95\xAA\x8A\x84"},
      {kTextEnterKey,
       "Enter\x83L\x81[\x81"
       "F"},
      {kTextSplit, "\x95\xAA\x8A\x84"},
      {kTextAskSize,
       "\x95\xAA\x8A\x84\x83T\x83"
       "C\x83Y\x82\xF0\x8Ew\x92\xE8\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81"
       "B"},
      // Ideographic spaces (81 40) in the success and failure texts of the split.
      {kTextSplitDone, "\x81\x9B\x81@\x95\xAA\x8A\x84\x8A\xAE\x97\xB9"},
      {kTextSplitFailed,
       "\x81~\x81@\x95\xAA\x8A\x84\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5"
       "\x82\xB5\x82\xBD\x81"
       "B"},
      {kTextRestoreDone,
       "\x81\x9B\x81@\x95\x9C\x8C\xB3\x90\xAC\x8C\xF7\x81@"
       "\x8Ag\x92\xA3\x8Eq\x82\xF0\x8C\xB3\x82\xC9\x96\xDF\x82\xB5\x82\xDC\x82\xB5"
       "\x82\xE5\x82\xA4\x81"
       "B"},
      {kTextClearInfo, "\x81@"},
      // Two ASCII spaces in the restore failure.
      {kTextRestoreFailed, "\x81~  \x95\x9C\x8C\xB3\x8E\xB8\x94s"},
      {kTextOpenFailed,
       "\x83t\x83@\x83"
       "C\x83\x8B\x83I\x81[\x83v\x83\x93\x82\xC9\x8E\xB8\x94s\x82\xB5\x82\xDC\x82\xB5"
       "\x82\xBD\x81"
       "B"},
      {kTextPathStart, "file..."},
      {kTextSizeSuffix, " byte"},
  };
  for (const auto& c : cases) EXPECT_EQ(FromWide("CP932", c.text), c.bytes);
}

}  // namespace
