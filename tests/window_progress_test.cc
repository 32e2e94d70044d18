// A long, streamed split or restore through the real window: its progress in the information
// line while it works, the same texts as ever once it ends, and the input made meanwhile,
// which runs nothing afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/limits.h"
#include "tests/fault_ops.h"
#include "tests/win_test_util.h"
#include "tests/window_test_util.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/texts.h"

namespace {

// Moves on by more than the report interval at every reading: every buffer is due a report.
uint32_t g_tick = 0;
uint32_t AdvancingTick() {
  return g_tick += 300;
}

// What the information line showed at the writes of the buffers, how often the window still had
// parts to repaint then, and what to do once the line has shown three texts.
std::vector<std::string> g_shown;
int g_unpainted = 0;
std::function<void()> g_atThirdText;

int WriteAndWatch(FileHandle file, const void* buffer, uint32_t count) {
  char text[64] = "";
  GetDlgItemTextA(MainWindow, ID_INFO, text, sizeof text);
  if (g_shown.empty() || g_shown.back() != text) g_shown.push_back(text);
  // As if uncovered at every buffer: repainted before the next one.
  if (GetUpdateRect(MainWindow, nullptr, FALSE) ||
      GetUpdateRect(GetDlgItem(MainWindow, ID_PATH), nullptr, FALSE)) {
    ++g_unpainted;
  }
  RedrawWindow(MainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (g_atThirdText && g_shown.size() == 3) {
    const std::function<void()> action = std::move(g_atThirdText);
    g_atThirdText = nullptr;
    action();
  }
  return RealPlatformOps().writeBlock(file, buffer, count);
}

class WindowProgressTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    InstallFaultOps();
    LimitBlockSize(kStreamBufferBytes);  // no block for the whole file: both engines stream
    UnderlyingOps().tickCount = AdvancingTick;
    UnderlyingOps().writeBlock = WriteAndWatch;
    g_tick = 0;
    g_shown.clear();
    g_unpainted = 0;
    g_atThirdText = nullptr;
    WriteFileBytes("source", source_);
    Drop({FullPath("source")});
    SetText(ID_SIZE, "512");  // 8 pieces of 512 KB
  }
  void TearDown() override {
    g_atThirdText = nullptr;
    RemoveFaultOps();
    MainWindowTest::TearDown();
  }
  // The texts the information line showed during the work: rising percentages, several.
  static void ExpectRisingPercentages() {
    ASSERT_GE(g_shown.size(), 4u);
    int last = -1;
    for (const std::string& text : g_shown) {
      ASSERT_EQ(text.back(), '%') << text;
      const int percent = std::stoi(text);
      EXPECT_GT(percent, last) << text;
      last = percent;
    }
    EXPECT_EQ(g_unpainted, 0);
  }
  const std::string source_ = PatternBytes(4 << 20);
};

TEST_F(WindowProgressTest, StreamedWorkShowsPercentagesThenTheUsualTexts) {
  Click(ID_SPLIT);
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  EXPECT_EQ(Text(ID_INFO), "4194304 byte");
  ExpectRisingPercentages();
  const auto pieces = PiecesOnDisk();
  ASSERT_EQ(pieces.size(), 8u);

  // A split that fails halfway puts the line back as well.
  FailCall(FaultOp::kWriteBlock, CallCount(FaultOp::kWriteBlock) + 5);
  g_shown.clear();
  SetText(ID_PATH, FullPath("source"));
  Click(ID_SPLIT);
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
  EXPECT_EQ(Text(ID_INFO), "4194304 byte");

  Drop({FullPath(pieces[0].first)});
  g_shown.clear();
  Click(ID_RESTORE);
  EXPECT_EQ(Text(ID_PATH), kTextRestoreDone);
  EXPECT_EQ(Text(ID_INFO), kTextClearInfo);
  ExpectRisingPercentages();
  const std::string base = pieces[0].first.substr(0, pieces[0].first.size() - 3);
  EXPECT_TRUE(ReadFileBytes(base) == source_);
}

TEST_F(WindowProgressTest, InputDuringTheWorkRunsNothingAfterwards) {
  g_atThirdText = [this] {
    // Clicks as another program sends them, which the paint pump delivers during the work.
    SendMessageW(Control(ID_SPLIT), BM_CLICK, 0, 0);
    SendMessageW(Control(ID_RESTORE), BM_CLICK, 0, 0);
    // Clicks, a key for the size field, Enter, held down until the work has ended, and a quit
    // message, which must reach the message loop afterwards.
    PostMessageW(Control(ID_SPLIT), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(Control(ID_SPLIT), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PostMessageW(Control(ID_SIZE), WM_CHAR, '7', 1);
    PostQuitMessage(3);
    SendKey(VK_RETURN, false);
    MSG message;
    for (int i = 0; i < 200; ++i) {
      if (PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE)) break;
      Sleep(10);
    }
  };
  SendMessageW(Control(ID_SPLIT), BM_CLICK, 0, 0);
  EXPECT_FALSE(g_atThirdText) << "the work ended before the input was made";
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 3u);
  PumpEmptyMessages(5);
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  EXPECT_EQ(PiecesOnDisk().size(), 8u);
  EXPECT_EQ(Text(ID_SIZE), "512");
  ReleaseEnter();
  PumpEmptyMessages(5);
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  // The next press splits as usual (and fails: the path line holds the message).
  PressEnter();
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
  ReleaseEnter();
}

}  // namespace
