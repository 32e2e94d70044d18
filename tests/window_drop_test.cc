// Files dropped on the real window: the size and path shown, only the first of several,
// folders and missing files, and sizes beyond 2 GiB.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "tests/window_test_util.h"
#include "ui/control_ids.h"
#include "ui/drop.h"
#include "ui/texts.h"

namespace fs = std::filesystem;

namespace {

using WindowTest = MainWindowTest;

TEST_F(WindowTest, DroppedFilesShowSizeAndPath) {
  WriteFileBytes("mega.bin", std::string(1048576, 'm'));
  Drop({FullPath("mega.bin")});
  EXPECT_EQ(Text(ID_INFO), "1048576 byte");
  EXPECT_EQ(Text(ID_PATH), FullPath("mega.bin"));

  WriteFileBytes("empty.bin", "");
  WriteFileBytes("second.bin", "22");
  WriteFileBytes("third.bin", "333");
  Drop({FullPath("empty.bin"), FullPath("second.bin"), FullPath("third.bin")});
  EXPECT_EQ(Text(ID_INFO), "0 byte");  // only the first file counts
  EXPECT_EQ(Text(ID_PATH), FullPath("empty.bin"));
}

TEST_F(WindowTest, DroppedFolderOrMissingFileSaysOpeningFailed) {
  WriteFileBytes("small", "12345");
  Drop({FullPath("small")});
  EXPECT_EQ(Text(ID_INFO), "5 byte");
  fs::create_directory("folder");
  Drop({FullPath("folder")});
  // Not the size of the earlier drop: the information line says the open failed.
  EXPECT_EQ(Text(ID_INFO), kTextOpenFailed);
  EXPECT_EQ(Text(ID_PATH), FullPath("folder"));
  Drop({FullPath("gone")});
  EXPECT_EQ(Text(ID_INFO), kTextOpenFailed);
  EXPECT_EQ(Text(ID_PATH), FullPath("gone"));
}

TEST_F(WindowTest, LargeDroppedFilesShowTheirTrueSize) {
  for (uint64_t size : {uint64_t{3000000000u}, uint64_t{4294967296u} + 10}) {
    MakeSparseFile("big.bin", size);
    Drop({FullPath("big.bin")});
    EXPECT_EQ(Text(ID_INFO), std::to_string(size) + " byte");
    fs::remove("big.bin");
  }
}

// A file dropped on the program's icon, or sent to it: its path is the program's argument, quoted
// or not, in any script, and shows as a drop of that file would.
TEST_F(WindowTest, FileGivenAsTheProgramsArgumentShowsAsADrop) {
  const std::wstring here = fs::current_path().wstring() + L"\\";
  const std::wstring spaced = here + L"a b.bin";
  const std::wstring kana = here + L"\u30D5\u30A1\u30A4\u30EB\U0001F600.bin";
  WriteFileBytes(spaced, "0123456789");
  WriteFileBytes(kana, "abc");
  WriteFileBytes(here + L"sub", "xy");
  const struct {
    std::wstring commandLine, path, info;
  } cases[] = {
      {L"filecut.exe  " + spaced + L"  ", spaced, L"10 byte"},  // not quoted, spaces and all
      {L"filecut.exe a b.bin", spaced, L"10 byte"},             // relative: shown whole
      {L"\"C:\\Program Files\\filecut.exe\" \"" + kana + L"\" \"" + spaced + L"\"", kana,
       L"3 byte"},  // quoted, the first of two
      {L"filecut.exe \"" + here + L"gone\"", here + L"gone", kTextOpenFailed},
      // Not quoted and not found: shown whole, never as the shorter name that exists.
      {L"filecut.exe " + here + L"sub dir\\gone.bin", here + L"sub dir\\gone.bin", kTextOpenFailed},
      {L"filecut.exe " + here + L"sub " + kana, here + L"sub", L"2 byte"},  // the first of two
      {L"filecut.exe", L"file...", L""},  // no argument: nothing changes
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.commandLine.size());
    SetText(ID_INFO, "");
    SetText(ID_PATH, "file...");
    OpenFileFromCommandLine(c.commandLine.c_str());
    EXPECT_EQ(Text(ID_PATH), c.path);
    EXPECT_EQ(Text(ID_INFO), c.info);
  }
}

}  // namespace
