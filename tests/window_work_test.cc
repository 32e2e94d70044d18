// A split or restore at work in the real window, on its own thread: held at a chosen platform
// call while the test, on the window's thread, stops it, ends the session, closes the window,
// or drops and clicks meanwhile.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/limits.h"
#include "core/progress.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"
#include "tests/window_test_util.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/main.h"
#include "ui/taskbar.h"
#include "ui/texts.h"
#include "ui/work.h"

namespace {

HANDLE g_held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
HANDLE g_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);

// Holds the work's thread just before the `n`th call of `op` from now until the test releases
// it or a stop is asked for, as a slow disk would.
void HoldWorkAt(FaultOp op, int n) {
  ResetEvent(g_held);
  ResetEvent(g_release);
  BeforeCall(op, CallCount(op) + n, [] {
    SetEvent(g_held);
    while (!StopRequested() && WaitForSingleObject(g_release, 10) == WAIT_TIMEOUT) {
    }
  });
}

// Processes the window's messages until the work is held (or, which fails the test, has ended).
void PumpUntilHeld() {
  while (WorkRunning() &&
         MsgWaitForMultipleObjects(1, &g_held, FALSE, 10000, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ProcessMessage(message);
  }
  ASSERT_EQ(WaitForSingleObject(g_held, 0), WAIT_OBJECT_0) << "the work ended before the hold";
}

uint32_t g_tick = 0;
// Moves on 150 ms at every reading: a progress report falls due at every second buffer.
uint32_t AdvancingTick() {
  return g_tick += 150;
}

class WorkTest : public MainWindowTest {
 protected:
  // A source of three buffers, in two pieces of one and a half (the size field's 1536 KB).
  void SetUp() override {
    MainWindowTest::SetUp();
    source_ = PatternBytes(3 * kStreamBufferBytes);
    WriteFileBytes("source", source_);
    Drop({FullPath("source")});
    SetText(ID_SIZE, "1536");
  }
  void StartSplitHeldAt(FaultOp op, int n) {
    HoldWorkAt(op, n);
    SendMessageW(Control(ID_SPLIT), BM_CLICK, 0, 0);
    PumpUntilHeld();
  }
  void PressEscape() {
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages();
  }
  std::string source_;
  ScopedFaultOps faults_;
};

TEST_F(WorkTest, EscStopsTheWorkAndUndoesIt) {
  // In the middle of piece 00, then as piece 01 is created: no piece stays.
  for (const auto& [op, n] :
       {std::pair{FaultOp::kWriteBlock, 2}, std::pair{FaultOp::kCreateForWrite, 2}}) {
    SCOPED_TRACE(FaultOpName(op));
    Drop({FullPath("source")});
    StartSplitHeldAt(op, n);
    PressEscape();
    EXPECT_EQ(ControlWideText(ID_PATH), kTextStopped);
    EXPECT_EQ(Text(ID_INFO), "3145728 byte");
    EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"source"});
  }
  // A restore stopped in the middle of its second piece keeps the old output, and no
  // temporary file.
  WritePieces("set", {source_.substr(0, 1000), source_.substr(1000)});
  WriteFileBytes("set", "old");
  Drop({FullPath("set-00")});
  HoldWorkAt(FaultOp::kReadBlock, 2);
  SendMessageW(Control(ID_RESTORE), BM_CLICK, 0, 0);
  PumpUntilHeld();
  PressEscape();
  EXPECT_EQ(ControlWideText(ID_PATH), kTextStopped);
  EXPECT_EQ(ReadFileBytes("set"), "old");
  EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"set", "set-00", "set-01", "source"}));
  // The next press works as usual.
  Drop({FullPath("source")});
  Click(ID_SPLIT);
  EXPECT_EQ(ControlWideText(ID_PATH), kTextSplitDone);
  EXPECT_EQ(PiecesOnDisk().size(), 2u);
}

TEST_F(WorkTest, SessionEndAndClosingWaitForTheWorkToStop) {
  StartSplitHeldAt(FaultOp::kWriteBlock, 3);  // piece 00 is complete
  EXPECT_EQ(SendMessageW(MainWindow, WM_QUERYENDSESSION, 0, 0), 0);
  SendMessageW(MainWindow, WM_ENDSESSION, TRUE, 0);
  // Done before the handler returned, after which the process may end at any moment.
  EXPECT_FALSE(WorkRunning());
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"source"});
  EXPECT_NE(SendMessageW(MainWindow, WM_QUERYENDSESSION, 0, 0), 0);  // no work: yes

  Drop({FullPath("source")});
  StartSplitHeldAt(FaultOp::kWriteBlock, 3);
  SendMessageW(MainWindow, WM_CLOSE, 0, 0);
  PumpMessages();
  EXPECT_FALSE(IsWindow(MainWindow));
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"source"});
}

TEST_F(WorkTest, InputDuringTheWorkChangesNothing) {
  // The taskbar's interface, where Wine has one: asked for, used and let go without a failure.
  SendMessageW(MainWindow, TaskbarButtonCreatedMessage(), 0, 0);
  UnderlyingOps().tickCount = AdvancingTick;
  WriteFileBytes("other", "xyz");
  StartSplitHeldAt(FaultOp::kWriteBlock, 3);
  EXPECT_EQ(Text(ID_INFO), "50%");  // reported after the second buffer
  for (int id : {ID_SIZE, ID_UNIT_MB, ID_SPLIT, ID_RESTORE})
    EXPECT_FALSE(IsWindowEnabled(Control(id)));
  // A drop, clicks posted and sent as other programs do, on a unit and on the buttons.
  Drop({FullPath("other")});
  EXPECT_EQ(Text(ID_INFO), "50%");
  PostMessageW(Control(ID_UNIT_MB), BM_CLICK, 0, 0);
  PostMessageW(Control(ID_SPLIT), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  PostMessageW(Control(ID_SPLIT), WM_LBUTTONUP, 0, 0);
  SendMessageW(Control(ID_RESTORE), BM_CLICK, 0, 0);
  SetEvent(g_release);
  PumpMessages();
  EXPECT_EQ(ControlWideText(ID_PATH), kTextSplitDone);
  EXPECT_EQ(Text(ID_INFO), "3145728 byte");
  EXPECT_EQ(SendMessageW(Control(ID_UNIT_KB), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Text(ID_UNIT_LABEL), "KB");
  for (int id : {ID_SIZE, ID_UNIT_MB, ID_SPLIT, ID_RESTORE})
    EXPECT_TRUE(IsWindowEnabled(Control(id)));
  std::string joined;
  for (const auto& [name, bytes] : PiecesOnDisk()) joined += bytes;
  EXPECT_TRUE(joined == source_);  // one split, nothing else
  EXPECT_EQ(ListCurrentDir().size(), 4u);
}

}  // namespace
