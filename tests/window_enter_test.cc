// The Enter-key shortcut as real keyboard input: one split per press wherever the focus is,
// none while the key is held, none for a key already down when the loop starts. And the keys.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

#include "tests/win_test_util.h"
#include "tests/window_test_util.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/main.h"
#include "ui/texts.h"

namespace {

using WindowTest = MainWindowTest;

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
  ResetEnterLatch();  // as at start-up
  PressEnter();
  PumpEmptyMessages(5);
  EXPECT_EQ(Text(ID_PATH), "missing");
  ReleaseEnter();
  // Once seen up, the next press splits.
  PressEnter();
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
  ReleaseEnter();
}

TEST_F(WindowTest, EnterTakenByAMenuOrTheInputMethodDoesNotSplit) {
  WriteFileBytes("source", "abc");
  SetText(ID_SIZE, "1");
  Click(ID_UNIT_BYTE);
  // Enter chooses an item of the size field's context menu, and Move in the system menu (Esc
  // ends the move), each in the menu's own loop; the window's loop gets messages while the key
  // is still down afterwards. The keys come from another thread meanwhile.
  const std::pair<WORD, bool> keys[] = {{VK_DOWN, false},   {VK_DOWN, true},   {VK_RETURN, false},
                                        {VK_ESCAPE, false}, {VK_ESCAPE, true}, {VK_ESCAPE, false},
                                        {VK_ESCAPE, true},  {VK_RETURN, true}};
  for (const bool systemMenu : {false, true}) {
    SCOPED_TRACE(systemMenu ? "system menu" : "context menu");
    SetText(ID_PATH, FullPath("source"));
    PumpEmptyMessages(1);
    std::atomic<bool> typed{false};
    std::thread typist([&] {
      for (const auto& [key, up] : keys) {
        Sleep(150);
        SendKey(key, up);
        PostMessageW(MainWindow, WM_NULL, 0, 0);
      }
      typed = true;
    });
    if (systemMenu) {
      PostMessageW(MainWindow, WM_SYSCOMMAND, SC_KEYMENU, L' ');
    } else {
      PostMessageW(Control(ID_SIZE), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Control(ID_SIZE)),
                   MAKELPARAM(-1, -1));
    }
    while (!typed) {
      PumpMessages();
      Sleep(10);
    }
    typist.join();
    PumpEmptyMessages(3);
    EXPECT_EQ(Text(ID_PATH), FullPath("source"));
    EXPECT_TRUE(PiecesOnDisk().empty());
  }
  // The input method's press of a key (VK_PROCESSKEY), and a repeat of Enter, as the loop gets
  // them, do not split; a press of Enter does, once.
  for (const auto& [key, flags] : {std::pair<WPARAM, LPARAM>{VK_PROCESSKEY, 1},
                                   std::pair<WPARAM, LPARAM>{VK_RETURN, 1 | (1 << 30)}}) {
    PostMessageW(Control(ID_SIZE), WM_KEYDOWN, key, flags);
    PumpMessages();
    EXPECT_EQ(Text(ID_PATH), FullPath("source"));
  }
  PressEnter();
  ReleaseEnter();
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  EXPECT_EQ(PiecesOnDisk().size(), 3u);
}

TEST_F(WindowTest, TabArrowsAndSpaceReachEveryControl) {
  EXPECT_EQ(GetFocus(), Control(ID_SIZE));                      // where typing a size starts
  for (int id : {ID_UNIT_KB, ID_RESTORE, ID_SPLIT, ID_SIZE}) {  // the units: one stop, the checked
    TypeKey(VK_TAB);
    EXPECT_EQ(GetFocus(), Control(id));
  }
  TypeKey(VK_TAB, true);
  EXPECT_EQ(GetFocus(), Control(ID_SPLIT));
  SetText(ID_PATH, "missing");
  TypeKey(VK_SPACE);
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
  TypeKey(VK_TAB, true);
  TypeKey(VK_TAB, true);
  EXPECT_EQ(GetFocus(), Control(ID_UNIT_KB));
  TypeKey(VK_DOWN);
  EXPECT_EQ(SendMessageW(Control(ID_UNIT_MB), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Text(ID_UNIT_LABEL), "MB");
}

}  // namespace
