// Names that code page 932 cannot spell, paths longer than MAX_PATH, and the window's Japanese
// on a system whose code page is another: the exact file every time, through the real window.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/wide_text_win.h"
#include "tests/window_test_util.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/texts.h"

namespace {

// Files by their exact UTF-16 names, in the "\\?\" form so that length is no limit.
std::filesystem::path Long(const std::wstring& full) {
  return L"\\\\?\\" + full;
}

using UnicodeTest = MainWindowTest;

// Each name is dropped as a source to split, then as the base of a set to restore, beside the
// name (if any can exist) that best fit into code page 932, Windows' dropping of trailing dots
// and spaces, or a cut at 259 characters reaches.
TEST_F(UnicodeTest, SplitsAndRestoresTheDroppedFileItself) {
  const struct {
    std::wstring name, decoy;
    bool deep;
  } rows[] = {
      {L"caf\u00E9", L"cafe", false},
      {L"q\u00A5..\u00A5v", L"v", false},       // "q\..\v" is "v"
      {L"\uD55C\uAE00\U0001F600", L"", false},  // Hangul and an emoji (a pair)
      {L"report.", L"report", false},           // Windows' rules drop a trailing dot
      {L"report ", L"report", false},           // and a trailing space
      {std::wstring(100, L'n'), std::wstring(28, L'n'), true},  // its first 259 characters
  };
  // Away from the pieces in the current folder; a long row in a folder of 230 characters.
  const std::wstring here = std::filesystem::current_path().wstring();
  const std::wstring beside = here + L"\\u\\";
  const std::wstring deep = here + L"\\" + std::wstring(229 - here.size(), L'd') + L"\\";
  std::filesystem::create_directory(Long(beside));
  std::filesystem::create_directory(Long(deep));
  for (const auto& row : rows) {
    const std::wstring name = (row.deep ? deep : beside) + row.name;
    const std::wstring decoy = (row.deep ? deep : beside) + row.decoy;
    WriteFileBytes(Long(name), "0123456789");
    WriteFileBytes(Long(name + L"-00"), "AB");
    WriteFileBytes(Long(name + L"-01"), "CD");
    if (!row.decoy.empty()) {
      WriteFileBytes(Long(decoy), "keep");
      WriteFileBytes(Long(decoy + L"-00"), "xx");
      WriteFileBytes(Long(decoy + L"-01"), "yy");
    }
    Drop(std::vector<std::wstring>{name});
    EXPECT_EQ(ControlWideText(ID_PATH), name);  // the exact name, whole
    EXPECT_EQ(Text(ID_INFO), "10 byte");
    SplitBy("4", ID_UNIT_BYTE);
    std::string joined;
    for (const auto& [piece, bytes] : PiecesOnDisk()) joined += bytes;
    EXPECT_EQ(joined, "0123456789");
    for (const auto& piece : PiecesOnDisk()) std::filesystem::remove(piece.first);

    Drop(std::vector<std::wstring>{name + L"-00"});
    Click(ID_RESTORE);
    EXPECT_EQ(ReadFileBytes(Long(name)), "ABCD");
    if (!row.decoy.empty()) {
      EXPECT_EQ(ReadFileBytes(Long(decoy)), "keep");
    }
  }
}

// A Windows without a table for code page 932 (without East Asian language support): the
// window and its controls are there all the same, and an ASCII size still splits.
class NoCodePage932Test : public MainWindowTest {
 protected:
  void SetUp() override {
    SetCodePage932Number(12345);  // no such code page
    MainWindowTest::SetUp();
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    SetCodePage932Number(932);
  }
};

TEST_F(NoCodePage932Test, WindowStartsAndAnAsciiSizeSplits) {
  WriteFileBytes("ten.bin", "0123456789");
  SplitBy(FullPath("ten.bin"), "3", ID_UNIT_BYTE);
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  EXPECT_EQ(PiecesOnDisk().size(), 4u);
}

// The labels read as UTF-16 are the same Japanese on every code page (the test command runs
// this under 1252 too). A lone surrogate, which UTF-8 cannot spell, is refused: nothing made.
TEST_F(UnicodeTest, LabelsReadTheSameOnEveryCodePage) {
  if (const char* expected = std::getenv("FILECUT_EXPECT_ACP")) {
    ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
  }
  wchar_t title[64] = L"";
  GetWindowTextW(MainWindow, title, 64);
  EXPECT_STREQ(title, L" File\u3000\u5206\u5272\u3000\u5FA9\u5143");
  EXPECT_EQ(ControlWideText(ID_RESTORE), L"\u5FA9\u5143");
  const std::wstring lone = std::filesystem::current_path().wstring() + L"\\x\xD800.bin";
  Drop(std::vector<std::wstring>{lone});
  EXPECT_EQ(ControlWideText(ID_PATH), lone);
  Click(ID_SPLIT);
  EXPECT_EQ(ControlWideText(ID_PATH),
            L"\u00D7\u3000\u5206\u5272\u3067\u304D\u307E\u305B\u3093\u3067"
            L"\u3057\u305F\u3002");  // ×　分割できませんでした。
  EXPECT_TRUE(PiecesOnDisk().empty());
}

}  // namespace
