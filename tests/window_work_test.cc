// A split or restore at work in the real window, on its own thread: held at a chosen platform
// call while the test, on the window's thread, stops it, ends the session, closes the window,
// or drops and clicks meanwhile.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/limits.h"
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

class WorkTest : public MainWindowTest {
 protected:
  // A source of three buffers, to split into two pieces of one and a half (1536 KB).
  void SetUp() override {
    MainWindowTest::SetUp();
    WriteFileBytes("source", PatternBytes(3 * kStreamBufferBytes));
    SetText(ID_SIZE, "1536");
  }
  // Drops `file` and presses `button`; the work's thread is held just before the `n`th call of
  // `op` from now, as by a slow disk, until the test releases it or a stop is asked for. The
  // window's messages are processed until then.
  void StartHeldAt(const char* file, int button, FaultOp op, int n) {
    Drop({FullPath(file)});
    ResetEvent(g_held);
    ResetEvent(g_release);
    // A stop shows in the path line once it is asked for: read without a message, which the
    // window's thread would not answer while it waits for the work to end.
    BeforeCall(op, CallCount(op) + n, [path = Control(ID_PATH)] {
      SetEvent(g_held);
      wchar_t text[32] = L"";
      while (lstrcmpW(text, kTextStopping) != 0 &&
             WaitForSingleObject(g_release, 10) == WAIT_TIMEOUT) {
        InternalGetWindowText(path, text, 32);
      }
    });
    SendMessageW(Control(button), BM_CLICK, 0, 0);
    while (WorkRunning() &&
           MsgWaitForMultipleObjects(1, &g_held, FALSE, 10000, QS_ALLINPUT) != WAIT_OBJECT_0) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ProcessMessage(message);
    }
    ASSERT_EQ(WaitForSingleObject(g_held, 0), WAIT_OBJECT_0) << "the work ended before the hold";
    // What the work posted before the hold may still wait in the queue.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ProcessMessage(message);
  }
  ScopedFaultOps faults_;
};

TEST_F(WorkTest, EscStopsTheWorkAndUndoesIt) {
  WritePieces("set", {"old set", "pieces"});
  WriteFileBytes("set", "old");
  // In the middle of piece 00, as piece 01 is created, in the middle of a restore: nothing of
  // the work stays, the old output keeps its bytes, the information line its text.
  const std::tuple<const char*, int, FaultOp, int, const char*> holds[] = {
      {"source", ID_SPLIT, FaultOp::kWriteBlock, 1, "3145728 byte"},
      {"source", ID_SPLIT, FaultOp::kCreateNew, 3, "3145728 byte"},
      {"set-00", ID_RESTORE, FaultOp::kReadBlock, 2, "7 byte"}};
  for (const auto& [file, button, op, n, info] : holds) {
    SCOPED_TRACE(FaultOpName(op));
    StartHeldAt(file, button, op, n);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages();
    EXPECT_EQ(Text(ID_PATH), kTextStopped);
    EXPECT_EQ(Text(ID_INFO), info);
    EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"set", "set-00", "set-01", "source"}));
  }
  EXPECT_EQ(ReadFileBytes("set"), "old");
}

TEST_F(WorkTest, AStopShowsAtOnceWhileTheWorkCleansUp) {
  // Esc in the middle of piece 01, with progress on screen; the removal of piece 00 is then
  // held, as by a slow disk or another program. The path line says so at once, the percentage
  // goes, and the end comes once the pieces have gone.
  UnderlyingOps().tickCount = []() -> uint32_t {
    static uint32_t tick = 0;
    return tick += 150;
  };
  static HANDLE cleaning = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ResetEvent(cleaning);
  StartHeldAt("source", ID_SPLIT, FaultOp::kWriteBlock, 4);
  ASSERT_EQ(Text(ID_INFO), "50%");
  BeforeCall(FaultOp::kRemoveFile, CallCount(FaultOp::kRemoveFile) + 1, [] {
    SetEvent(cleaning);
    WaitForSingleObject(g_release, 10000);
  });
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ProcessMessage(message);
  EXPECT_EQ(Text(ID_PATH), kTextStopping);
  EXPECT_EQ(Text(ID_INFO), "3145728 byte");
  ASSERT_EQ(WaitForSingleObject(cleaning, 10000), WAIT_OBJECT_0);
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ProcessMessage(message);
  EXPECT_EQ(Text(ID_PATH), kTextStopping);  // still removing
  EXPECT_EQ(Text(ID_INFO), "3145728 byte");
  SetEvent(g_release);
  PumpMessages();
  EXPECT_EQ(Text(ID_PATH), kTextStopped);
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"source"});
}

// Meanwhile a drop, clicks posted and sent by other programs and a session end change nothing;
// a session that ends all the same, and closing the window, stop the work and clean up first.
TEST_F(WorkTest, WhileItRunsNothingElseActs) {
  // The taskbar's interface, where Wine has one: asked for, used and let go without a failure.
  SendMessageW(MainWindow, TaskbarButtonCreatedMessage(), 0, 0);
  // A clock that moves on 150 ms at every reading: a report falls due at every second buffer.
  UnderlyingOps().tickCount = []() -> uint32_t {
    static uint32_t tick = 0;
    return tick += 150;
  };
  WriteFileBytes("other", "xyz");
  // After the list's first line and piece 00's two buffers: piece 00 is complete.
  StartHeldAt("source", ID_SPLIT, FaultOp::kWriteBlock, 4);
  EXPECT_EQ(Text(ID_INFO), "50%");  // reported after the second buffer
  EXPECT_FALSE(IsWindowEnabled(Control(ID_SIZE)));
  Drop({FullPath("other")});
  PostMessageW(Control(ID_UNIT_MB), BM_CLICK, 0, 0);
  PostMessageW(Control(ID_SPLIT), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  PostMessageW(Control(ID_SPLIT), WM_LBUTTONUP, 0, 0);
  SendMessageW(Control(ID_RESTORE), BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(MainWindow, WM_QUERYENDSESSION, 0, 0), 0);
  SetEvent(g_release);
  PumpMessages();
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  EXPECT_EQ(Text(ID_INFO), "3145728 byte");
  EXPECT_EQ(SendMessageW(Control(ID_UNIT_KB), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Text(ID_UNIT_LABEL), "KB");
  EXPECT_TRUE(IsWindowEnabled(Control(ID_SIZE)));
  EXPECT_NE(SendMessageW(MainWindow, WM_QUERYENDSESSION, 0, 0), 0);  // no work: yes
  // The source, "other", two pieces and their list.
  const std::vector<std::string> before = ListCurrentDir();
  ASSERT_EQ(before.size(), 5u);

  StartHeldAt("source", ID_SPLIT, FaultOp::kWriteBlock, 4);
  SendMessageW(MainWindow, WM_ENDSESSION, TRUE, 0);
  // Done before the handler returned, after which the process may end at any moment.
  EXPECT_FALSE(WorkRunning());
  EXPECT_EQ(ListCurrentDir(), before);
  StartHeldAt("source", ID_SPLIT, FaultOp::kWriteBlock, 4);
  SendMessageW(MainWindow, WM_CLOSE, 0, 0);
  PumpMessages();
  EXPECT_FALSE(IsWindow(MainWindow));
  EXPECT_EQ(ListCurrentDir(), before);
}

}  // namespace
