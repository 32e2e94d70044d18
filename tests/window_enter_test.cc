// The keyboard as real input: the Enter-key shortcut, one split per press wherever the focus is,
// none while the key is held, none for a key already down when the loop starts; Tab and
// Shift+Tab through the controls, the arrow keys through the units, Space on a button.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

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
  EXPECT_EQ(ControlWideText(ID_PATH), kTextSplitFailed) << "Enter did not reach the window";
  // Held down across many messages: no second split.
  SetText(ID_PATH, "missing");
  PumpEmptyMessages(50);
  EXPECT_EQ(Text(ID_PATH), "missing");
  ReleaseEnter();
  PumpEmptyMessages(3);
  EXPECT_EQ(Text(ID_PATH), "missing");
  // The next press splits again.
  PressEnter();
  EXPECT_EQ(ControlWideText(ID_PATH), kTextSplitFailed);
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
  EXPECT_EQ(GetFocus(), Control(ID_SIZE));  // where typing a size starts
  std::vector<int> order;
  for (int i = 0; i < 4; ++i) {
    TypeKey(VK_TAB);
    order.push_back(GetDlgCtrlID(GetFocus()));
  }
  // The units are one stop, at the checked one.
  EXPECT_EQ(order, (std::vector<int>{ID_UNIT_KB, ID_RESTORE, ID_SPLIT, ID_SIZE}));
  TypeKey(VK_TAB, true);
  EXPECT_EQ(GetFocus(), Control(ID_SPLIT));
  SetText(ID_PATH, "missing");
  TypeKey(VK_SPACE);
  EXPECT_EQ(ControlWideText(ID_PATH), kTextSplitFailed);
  TypeKey(VK_TAB, true);
  TypeKey(VK_TAB, true);
  EXPECT_EQ(GetFocus(), Control(ID_UNIT_KB));
  TypeKey(VK_DOWN);
  EXPECT_EQ(GetFocus(), Control(ID_UNIT_MB));
  EXPECT_EQ(SendMessageW(Control(ID_UNIT_MB), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Text(ID_UNIT_LABEL), "MB");
}

}  // namespace
