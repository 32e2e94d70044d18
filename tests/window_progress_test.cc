// Streamed work in the real window: its progress, then the usual texts, and no input acted on.
#include <gtest/gtest.h>
#include <windows.h>

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

uint32_t g_tick = 0xFFFFFE0Cu;     // the first report falls 200 ms before the wrap to zero
std::vector<std::string> g_shown;  // the information line at each write, once per text
int g_unpainted = 0;               // reports that left the window unpainted
bool g_input = false;              // input to make at the third text

// Moves on 150 ms at every reading: every second buffer is due a report.
uint32_t AdvancingTick() {
  return g_tick += 150;
}

int WriteAndWatch(FileHandle file, const void* buffer, uint32_t count) {
  char text[64] = "";
  GetDlgItemTextA(MainWindow, ID_INFO, text, sizeof text);
  const bool reported = g_shown.empty() || g_shown.back() != text;
  if (reported) g_shown.push_back(text);
  // As if uncovered at every buffer: repainted at the next report.
  g_unpainted += reported && (GetUpdateRect(MainWindow, nullptr, FALSE) ||
                              GetUpdateRect(GetDlgItem(MainWindow, ID_PATH), nullptr, FALSE));
  RedrawWindow(MainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (g_input && g_shown.size() == 3) {
    g_input = false;
    // A click as another program sends it (the paint pump delivers it), a posted one, Enter held.
    SendMessageW(GetDlgItem(MainWindow, ID_SPLIT), BM_CLICK, 0, 0);
    PostMessageW(GetDlgItem(MainWindow, ID_SPLIT), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(GetDlgItem(MainWindow, ID_SPLIT), WM_LBUTTONUP, 0, 0);
    SendKey(VK_RETURN, false);
    MSG key;
    for (int i = 0; i < 200 && !PeekMessageW(&key, nullptr, WM_KEYDOWN, WM_KEYDOWN, 0); ++i) {
      Sleep(10);
    }
  }
  return RealPlatformOps().writeBlock(file, buffer, count);
}

TEST_F(MainWindowTest, StreamedWorkShowsProgressAndDropsTheInputMadeMeanwhile) {
  ScopedFaultOps faults;
  LimitBlockSize(kStreamBufferBytes);  // no block for the whole file: both engines stream
  UnderlyingOps().tickCount = AdvancingTick;
  UnderlyingOps().writeBlock = WriteAndWatch;
  WriteFileBytes("source", PatternBytes(4 << 20));
  Drop({FullPath("source")});
  SetText(ID_SIZE, "512");  // 8 pieces of 512 KB, one buffer each
  g_input = true;
  SendMessageW(Control(ID_SPLIT), BM_CLICK, 0, 0);
  PumpEmptyMessages(3);
  ReleaseEnter();
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  EXPECT_EQ(Text(ID_INFO), "4194304 byte");
  const auto pieces = PiecesOnDisk();
  ASSERT_EQ(pieces.size(), 8u);
  EXPECT_EQ(g_shown, (std::vector<std::string>{"0%", "25%", "50%", "75%"}));

  g_shown.clear();
  Drop({FullPath(pieces[0].first)});
  Click(ID_RESTORE);
  EXPECT_EQ(Text(ID_PATH), kTextRestoreDone);
  EXPECT_EQ(Text(ID_INFO), kTextClearInfo);
  EXPECT_EQ(g_shown, (std::vector<std::string>{"0%", "25%", "50%", "75%"}));
  EXPECT_EQ(g_unpainted, 0);
}

}  // namespace
