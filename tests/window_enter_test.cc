// The Enter-key shortcut as real keyboard input: one split per press wherever the focus is,
// none while the key is held, none for a key already down when the loop starts. And the keys.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/window_test_util.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
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
  EnterLatch = 0;  // as at start-up
  PressEnter();
  PumpEmptyMessages(5);
  EXPECT_EQ(Text(ID_PATH), "missing");
  ReleaseEnter();
  EXPECT_EQ(EnterLatch, 1);
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
