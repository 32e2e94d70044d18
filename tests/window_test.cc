// The real main window in this process, driven through real messages: its controls, the unit
// buttons, the split and restore commands with every message, dropped files, the Enter key.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "tests/window_test_util.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/startup.h"
#include "ui/texts.h"

namespace fs = std::filesystem;

namespace {

struct ExpectedControl {
  int id;
  const char* className;
  const char* text;
  DWORD style;  // the low word of the style: the control's own bits
  int x, y, width, height;
};

const ExpectedControl kExpected[] = {
    {ID_SIZE, "Edit", "500", ES_NUMBER | ES_AUTOHSCROLL, 329, 64, 30, 18},
    {ID_UNIT_BYTE, "Button", "byte", BS_AUTORADIOBUTTON, 384, 15, 48, 14},
    {ID_UNIT_KB, "Button", "KB", BS_AUTORADIOBUTTON, 384, 31, 48, 14},
    {ID_UNIT_MB, "Button", "MB", BS_AUTORADIOBUTTON, 384, 47, 48, 14},
    {ID_RESTORE, "Button", kTextRestore, BS_PUSHBUTTON, 30, 64, 80, 20},
    {ID_INFO, "Static", "", SS_LEFT, 280, 41, 92, 12},
    {ID_PATH, "Static", "file...", SS_LEFT, 12, 11, 358, 22},
    {ID_FRAME, "Button", "", BS_GROUPBOX, 4, 0, 374, 59},
    {ID_SPLIT_BY, "Static", kTextSplitBy, SS_LEFT, 386, 70, 37, 12},
    {ID_UNIT_LABEL, "Static", "KB", SS_LEFT, 363, 70, 24, 12},
    {ID_ENTER_KEY, "Static", kTextEnterKey, SS_LEFT, 207, 70, 62, 16},
    {ID_SPLIT, "Button", kTextSplit, BS_PUSHBUTTON, 267, 65, 36, 18},
};

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

using WindowTest = MainWindowTest;

TEST_F(WindowTest, MainWindowLooksAsDesigned) {
  EXPECT_EQ(ClassOf(MainWindow), "NORMAL0");
  char title[64] = "";
  GetWindowTextA(MainWindow, title, sizeof title);
  EXPECT_STREQ(title, "\x20\x46\x69\x6C\x65\x81\x40\x95\xAA\x8A\x84\x81\x40\x95\x9C\x8C\xB3");
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(MainWindow, GWL_EXSTYLE));
  EXPECT_EQ(exStyle & (WS_EX_TOOLWINDOW | WS_EX_ACCEPTFILES), 0x90u);
  const DWORD style = static_cast<DWORD>(GetWindowLongA(MainWindow, GWL_STYLE));
  EXPECT_EQ(style & ~static_cast<DWORD>(WS_CLIPSIBLINGS), 0x10C80000u);
  RECT frame;
  GetWindowRect(MainWindow, &frame);
  EXPECT_EQ(frame.right - frame.left, 438);
  EXPECT_EQ(frame.bottom - frame.top, 115);
}

TEST_F(WindowTest, FontBrushAndClass) {
  LOGFONTA font = {};
  ASSERT_EQ(GetObjectA(SharedFont, sizeof font, &font), static_cast<int>(sizeof font));
  EXPECT_EQ(font.lfHeight, -11);
  EXPECT_EQ(font.lfWidth, 0);
  EXPECT_EQ(font.lfWeight, 400);
  EXPECT_EQ(font.lfItalic | font.lfUnderline | font.lfStrikeOut, 0);
  EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(font.lfOutPrecision, OUT_STROKE_PRECIS);
  EXPECT_EQ(font.lfClipPrecision, CLIP_STROKE_PRECIS);
  EXPECT_EQ(font.lfQuality, DRAFT_QUALITY);
  EXPECT_EQ(font.lfPitchAndFamily, 0x32);
  EXPECT_STREQ(font.lfFaceName, kFontFace);
  LOGBRUSH brush = {};
  ASSERT_EQ(GetObjectA(BackgroundBrush, sizeof brush, &brush), static_cast<int>(sizeof brush));
  EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(brush.lbColor, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetClassLongA(MainWindow, GCL_STYLE), 0x000Bu);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrA(MainWindow, GCLP_HBRBACKGROUND)),
            BackgroundBrush);
}

TEST_F(WindowTest, TwelveControlsInCreationOrder) {
  // Children are kept in creation order, the first created at the top.
  HWND child = GetWindow(MainWindow, GW_CHILD);
  for (const ExpectedControl& want : kExpected) {
    ASSERT_NE(child, nullptr) << "missing control " << want.id;
    SCOPED_TRACE(want.id);
    EXPECT_EQ(GetDlgCtrlID(child), want.id);
    EXPECT_EQ(ClassOf(child), want.className);
    char text[128] = "";
    GetWindowTextA(child, text, sizeof text);
    EXPECT_STREQ(text, want.text);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(style & 0xFFFFu, want.style);
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, want.x);
    EXPECT_EQ(rect.top, want.y);
    EXPECT_EQ(rect.right - rect.left, want.width);
    EXPECT_EQ(rect.bottom - rect.top, want.height);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)), SharedFont);
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr);
  const DWORD editEx = static_cast<DWORD>(GetWindowLongA(Control(ID_SIZE), GWL_EXSTYLE));
  EXPECT_TRUE(editEx & WS_EX_CLIENTEDGE);
}

TEST_F(WindowTest, StartsWith500KB) {
  EXPECT_EQ(SendMessageA(Control(ID_UNIT_KB), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(Control(ID_UNIT_BYTE), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(Control(ID_UNIT_MB), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(Text(ID_SIZE), "500");
  EXPECT_EQ(Text(ID_UNIT_LABEL), "KB");
}

TEST_F(WindowTest, UnitLabelFollowsTheRadioButtons) {
  Click(ID_UNIT_BYTE);
  EXPECT_EQ(Text(ID_UNIT_LABEL), "byte");
  EXPECT_EQ(SendMessageA(Control(ID_UNIT_KB), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  Click(ID_UNIT_MB);
  EXPECT_EQ(Text(ID_UNIT_LABEL), "MB");
  Click(ID_UNIT_KB);
  EXPECT_EQ(Text(ID_UNIT_LABEL), "KB");
  // Notifications other than clicks are ignored.
  SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(ID_UNIT_BYTE, BN_SETFOCUS), 0);
  EXPECT_EQ(Text(ID_UNIT_LABEL), "KB");
}

TEST_F(WindowTest, SplitButtonSplitsByTheChosenUnit) {
  WriteFileBytes("ten.bin", "0123456789");
  SetText(ID_PATH, FullPath("ten.bin"));
  SetText(ID_SIZE, "3");
  Click(ID_UNIT_BYTE);
  Click(ID_SPLIT);
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  const auto pieces = PiecesOnDisk();
  ASSERT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[0].second, "012");
  EXPECT_EQ(pieces[1].second, "345");
  EXPECT_EQ(pieces[2].second, "678");
  EXPECT_EQ(pieces[3].second, "9");
  // The path line now holds the message: a second split names no file and fails.
  Click(ID_SPLIT);
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
}

TEST_F(WindowTest, SizeTextsAndUnits) {
  struct Case {
    const char* size;
    int unit;
    size_t source;
    std::vector<size_t> pieces;
  };
  const Case cases[] = {
      {"500", ID_UNIT_KB, 1200000, {512000, 512000, 176000}},
      {"1.9", ID_UNIT_BYTE, 3, {1, 1, 1}},  // the fraction is cut off
      {"&H2", ID_UNIT_BYTE, 5, {2, 2, 1}},  // pasted notations reach the parser
      {"1", ID_UNIT_MB, 1048577, {1048576, 1}},
      {"2048", ID_UNIT_MB, 3000, {3000}},          // 2^31: negative, one piece
      {"4294967297", ID_UNIT_BYTE, 3, {1, 1, 1}},  // low 32 bits of the integer
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    for (const auto& [name, bytes] : PiecesOnDisk()) fs::remove(name);
    const std::string source = PatternBytes(c.source);
    WriteFileBytes("source", source);
    SetText(ID_PATH, FullPath("source"));
    SetText(ID_SIZE, c.size);
    Click(c.unit);
    Click(ID_SPLIT);
    EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
    const auto pieces = PiecesOnDisk();
    ASSERT_EQ(pieces.size(), c.pieces.size());
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
      EXPECT_EQ(pieces[i].second.size(), c.pieces[i]);
      joined += pieces[i].second;
    }
    EXPECT_TRUE(joined == source);
  }
}

TEST_F(WindowTest, SizesThatGiveZeroOnlyAskForASize) {
  WriteFileBytes("source", "abc");
  const struct {
    const char* size;
    int unit;
  } cases[] = {
      {"", ID_UNIT_KB},
      {"0", ID_UNIT_KB},
      {"abc", ID_UNIT_BYTE},
      {"0.5", ID_UNIT_BYTE},
      {"-0", ID_UNIT_BYTE},
      {"4294967296", ID_UNIT_BYTE},
      {"4194304", ID_UNIT_KB},                 // 2^22 * 2^10 wraps to 0
      {"4096", ID_UNIT_MB},                    // 2^12 * 2^20 wraps to 0
      {"99999999999999999999", ID_UNIT_BYTE},  // beyond 2^63: no 64-bit integer
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    SetText(ID_INFO, "");
    SetText(ID_PATH, FullPath("source"));
    SetText(ID_SIZE, c.size);
    Click(c.unit);
    Click(ID_SPLIT);
    EXPECT_EQ(Text(ID_INFO), kTextAskSize);
    EXPECT_EQ(Text(ID_PATH), FullPath("source"));
    EXPECT_TRUE(PiecesOnDisk().empty());
  }
}

TEST_F(WindowTest, SplitOfTheStartTextFails) {
  Click(ID_SPLIT);  // the path line still shows "file..."
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
  EXPECT_TRUE(ListCurrentDir().empty());
}

TEST_F(WindowTest, RestoreFromADroppedPiece) {
  const std::vector<std::string> parts = {"aaa", "bbb", "c"};
  for (size_t i = 0; i < parts.size(); ++i) {
    WriteFileBytes("4711-0" + std::to_string(i), parts[i]);
  }
  WriteFileBytes("4711-05", "not joined: 04 is missing");
  Drop({FullPath("4711-02")});  // any piece names the set
  Click(ID_RESTORE);
  EXPECT_EQ(Text(ID_PATH), kTextRestoreDone);
  EXPECT_EQ(Text(ID_INFO), kTextClearInfo);
  EXPECT_EQ(ReadFileBytes("4711"), "aaabbbc");
  // Again without a new drop: the message is no piece path.
  Click(ID_RESTORE);
  EXPECT_EQ(Text(ID_PATH), kTextRestoreFailed);
}

TEST_F(WindowTest, RestoreFailures) {
  WriteFileBytes("4711-100", "x");
  WriteFileBytes("4711-", "old");
  const std::vector<std::string> paths = {
      FullPath("4711-100"),  // cuts "100" and looks for "4711--00"
      FullPath("none-00"),   // no pieces at all
      "ab",                  // too short to cut
      "",                    // empty
      "file...",
  };
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    SetText(ID_INFO, "info");
    SetText(ID_PATH, path);
    Click(ID_RESTORE);
    EXPECT_EQ(Text(ID_PATH), kTextRestoreFailed);
    EXPECT_EQ(Text(ID_INFO), "info");
  }
  EXPECT_EQ(ReadFileBytes("4711-"), "old");
  EXPECT_FALSE(fs::exists("none"));
}

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
  // Sparse files: only their sizes are real.
  for (uint64_t size : {uint64_t{3000000000u}, uint64_t{4294967296u} + 10}) {
    { std::ofstream create("big.bin", std::ios::binary); }
    fs::resize_file("big.bin", size);
    Drop({FullPath("big.bin")});
    EXPECT_EQ(Text(ID_INFO), std::to_string(size) + " byte");
    fs::remove("big.bin");
  }
}

TEST_F(WindowTest, EnterSplitsOncePerPress) {
  SetText(ID_SIZE, "1");
  SetFocus(Control(ID_SIZE));  // the shortcut works wherever the focus is
  SetText(ID_PATH, "missing");
  PumpEmptyMessages(1);
  PressEnter();
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed) << "Enter did not reach the window";
  // Held down across many messages: no second split.
  SetText(ID_PATH, "missing");
  PumpEmptyMessages(50);
  EXPECT_EQ(Text(ID_PATH), "missing");
  ReleaseEnter();
  PumpEmptyMessages(3);
  EXPECT_EQ(Text(ID_PATH), "missing");
  // The next press splits again.
  PressEnter();
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
  ReleaseEnter();
}

TEST_F(WindowTest, EnterAlreadyDownAtTheFirstMessageDoesNotFire) {
  SetText(ID_PATH, "missing");
  EnterLatch = 0;  // as at start-up
  PressEnter();
  PumpEmptyMessages(5);
  EXPECT_EQ(Text(ID_PATH), "missing");
  ReleaseEnter();
  EXPECT_EQ(EnterLatch, 1);
}

TEST_F(WindowTest, TypicalRunEndToEnd) {
  // Drop a 1,200,000-byte file, split with 500 KB by Enter, drop piece 00, restore.
  const std::string source = PatternBytes(1200000);
  WriteFileBytes("report.pdf", source);
  Drop({FullPath("report.pdf")});
  EXPECT_EQ(Text(ID_INFO), "1200000 byte");
  PressEnter();
  ReleaseEnter();
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  const auto pieces = PiecesOnDisk();
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0].second.size(), 512000u);
  EXPECT_EQ(pieces[1].second.size(), 512000u);
  EXPECT_EQ(pieces[2].second.size(), 176000u);

  Drop({FullPath(pieces[0].first)});
  EXPECT_EQ(Text(ID_INFO), "512000 byte");
  Click(ID_RESTORE);
  EXPECT_EQ(Text(ID_PATH), kTextRestoreDone);
  const std::string base = pieces[0].first.substr(0, pieces[0].first.size() - 3);
  EXPECT_TRUE(ReadFileBytes(base) == source);
  EXPECT_TRUE(ReadFileBytes("report.pdf") == source);
}

TEST_F(WindowTest, CloseDestroysTheWindowAndQuits) {
  SendMessageA(MainWindow, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(MainWindow));
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 0u);
}

TEST_F(WindowTest, StartUpEndsAtOnceWhenTheClassCannotBeRegistered) {
  // The class is already registered in this process, so registering it again fails: the
  // program must end with exit code 1 instead of waiting in a loop without a window.
  EXPECT_EQ(RunProgram(), 1);
}

}  // namespace
