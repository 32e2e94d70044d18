// Names that code page 932 cannot spell, paths longer than MAX_PATH, and the window's Japanese
// on a system whose code page is another: the exact file every time, through the real window.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/window_test_util.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"

namespace {

// Files by their exact UTF-16 names, in the "\\?\" form so that length is no limit.
std::wstring Long(const std::wstring& full) {
  return L"\\\\?\\" + full;
}
void PutFile(const std::wstring& full, const std::string& bytes) {
  HANDLE file = CreateFileW(Long(full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD done = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(file);
}
std::string GetFile(const std::wstring& full) {
  HANDLE file = CreateFileW(Long(full).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(1 << 16, '\0');
  DWORD done = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(file);
  return bytes.substr(0, done);
}

class UnicodeTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    wchar_t here[MAX_PATH];
    const size_t length = GetCurrentDirectoryW(MAX_PATH, here);
    ASSERT_LT(length, 200u);
    // The files of a row lie beside each other, away from the pieces in the current folder;
    // those of a long row in a folder whose own path is 230 characters long.
    near_ = std::wstring(here) + L"\\u";
    deep_ = std::wstring(here) + L"\\" + std::wstring(229 - length, L'd');
    CreateDirectoryW(near_.c_str(), nullptr);
    CreateDirectoryW(Long(deep_).c_str(), nullptr);
  }
  void TearDown() override {
    // The deep folder is emptied here: the general clean-up need not know long paths.
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(Long(deep_ + L"\\*").c_str(), &entry);
    while (find != INVALID_HANDLE_VALUE) {
      DeleteFileW(Long(deep_ + L"\\" + entry.cFileName).c_str());
      if (!FindNextFileW(find, &entry)) break;
    }
    FindClose(find);
    RemoveDirectoryW(Long(deep_).c_str());
    MainWindowTest::TearDown();
  }
  // The full path of a name, in the near folder or, with `deep`, in the deep one.
  std::wstring At(const std::wstring& name, bool deep) const {
    return (deep ? deep_ : near_) + L"\\" + name;
  }
  std::wstring near_;
  std::wstring deep_;
};

// Each row: the dropped file and another one that a conversion through code page 932 (best
// fit: é to e, ¥ to a backslash, Hangul and emoji to ?) or a cut at 259 characters would reach.
struct Row {
  const wchar_t* name;
  const wchar_t* decoy;  // null where no such file can exist
  bool deep;
};

TEST_F(UnicodeTest, SplitsTheDroppedFileItself) {
  const std::wstring longName(100, L'n');
  const Row rows[] = {
      {L"caf\u00E9.bin", L"cafe.bin", false},
      {L"\uD55C\uAE00\U0001F600.bin", nullptr, false},  // Hangul and an emoji (a pair)
      {longName.c_str(), nullptr, true},
  };
  for (const Row& row : rows) {
    const std::wstring source = At(row.name, row.deep);
    PutFile(source, "0123456789");
    std::wstring decoy = row.decoy ? At(row.decoy, row.deep) : L"";
    // Long row: the file that the first 259 characters of the path name.
    if (row.deep) decoy = source.substr(0, 259);
    if (!decoy.empty()) PutFile(decoy, "decoy");
    Drop(std::vector<std::wstring>{source});
    EXPECT_EQ(TextW(ID_PATH), source);  // the exact name, whole
    EXPECT_EQ(Text(ID_INFO), "10 byte");
    SetText(ID_SIZE, "4");
    Click(ID_UNIT_BYTE);
    Click(ID_SPLIT);
    EXPECT_EQ(TextW(ID_PATH), L"\u25CB\u3000\u5206\u5272\u5B8C\u4E86");  // ○　分割完了
    const auto pieces = PiecesOnDisk();
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].second + pieces[1].second + pieces[2].second, "0123456789");
    for (const auto& piece : pieces) DeleteFileA(piece.first.c_str());
    EXPECT_EQ(GetFile(source), "0123456789");
    if (!decoy.empty()) {
      EXPECT_EQ(GetFile(decoy), "decoy");
    }
  }
}

TEST_F(UnicodeTest, RestoresTheDroppedSetItself) {
  const std::wstring longBase(100, L'b');
  const Row rows[] = {
      // "q¥..¥v" through best fit is "q\..\v", which is "v": its set and the file v are decoys.
      {L"q\u00A5..\u00A5v", L"v", false},
      {L"\uD55C\uAE00\U0001F600", nullptr, false},
      {longBase.c_str(), nullptr, true},
  };
  for (const Row& row : rows) {
    const std::wstring base = At(row.name, row.deep);
    PutFile(base + L"-00", "AB");
    PutFile(base + L"-01", "CD");
    if (row.decoy) {
      const std::wstring decoy = At(row.decoy, row.deep);
      PutFile(decoy + L"-00", "xx");
      PutFile(decoy + L"-01", "yy");
      PutFile(decoy, "keep");
    }
    Drop(std::vector<std::wstring>{base + L"-00"});
    EXPECT_EQ(TextW(ID_PATH), base + L"-00");
    Click(ID_RESTORE);
    EXPECT_EQ(GetFile(base), "ABCD");
    if (row.decoy) {
      EXPECT_EQ(GetFile(At(row.decoy, row.deep)), "keep");
    }
  }
}

// A name with a lone surrogate, which NTFS allows and UTF-8 cannot spell, is refused: nothing
// is created, rather than a file with a replacement character in its name.
TEST_F(UnicodeTest, ALoneSurrogateIsRefused) {
  const std::wstring lone = At(L"x\xD800.bin", false);
  Drop(std::vector<std::wstring>{lone});
  EXPECT_EQ(TextW(ID_PATH), lone);
  Click(ID_SPLIT);
  EXPECT_EQ(TextW(ID_PATH),
            L"\u00D7\u3000\u5206\u5272\u3067\u304D\u307E\u305B\u3093\u3067"
            L"\u3057\u305F\u3002");  // ×　分割できませんでした。
  EXPECT_TRUE(PiecesOnDisk().empty());
}

// The title and every label, read as UTF-16, are the same Japanese whatever the system's code
// page. The test command runs this once more under code page 1252 (FILECUT_EXPECT_ACP).
TEST_F(UnicodeTest, LabelsReadTheSameOnEveryCodePage) {
  if (const char* expected = std::getenv("FILECUT_EXPECT_ACP")) {
    ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
  }
  EXPECT_TRUE(IsWindowUnicode(MainWindow));
  std::wstring title(64, L'\0');
  title.resize(static_cast<size_t>(GetWindowTextW(MainWindow, title.data(), 64)));
  EXPECT_EQ(title, L" File\u3000\u5206\u5272\u3000\u5FA9\u5143");
  EXPECT_EQ(TextW(ID_RESTORE), L"\u5FA9\u5143");
  EXPECT_EQ(TextW(ID_SPLIT_BY), L"\u3067\u5206\u5272");
  EXPECT_EQ(TextW(ID_ENTER_KEY), L"Enter\u30AD\u30FC\uFF1A");
  EXPECT_EQ(TextW(ID_SPLIT), L"\u5206\u5272");
  Drop(std::vector<std::wstring>{At(L"gone", false)});
  EXPECT_EQ(TextW(ID_INFO),
            L"\u30D5\u30A1\u30A4\u30EB\u30AA\u30FC\u30D7\u30F3\u306B\u5931"
            L"\u6557\u3057\u307E\u3057\u305F\u3002");
  Click(ID_RESTORE);
  EXPECT_EQ(TextW(ID_PATH), L"\u00D7  \u5FA9\u5143\u5931\u6557");
  SetText(ID_SIZE, "0");
  Click(ID_SPLIT);
  EXPECT_EQ(TextW(ID_INFO),
            L"\u5206\u5272\u30B5\u30A4\u30BA\u3092\u6307\u5B9A\u3057\u3066"
            L"\u304F\u3060\u3055\u3044\u3002");
  LOGFONTW font = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control(ID_SPLIT), WM_GETFONT, 0, 0)),
             sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");  // ＭＳ Ｐゴシック
}

}  // namespace
