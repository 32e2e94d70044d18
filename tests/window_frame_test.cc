// The main window under a taller caption and wider borders than Wine's default look: it grows by
// just what its controls (right edge 432, bottom 86) would lose, in place, before it is shown.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "tests/window_test_util.h"
#include "ui/app_state.h"
#include "ui/controls.h"
#include "ui/texts.h"

namespace {

SIZE ShownSize;  // the main window's outer size as it is first shown

LRESULT CALLBACK NoteFirstShow(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  wchar_t name[16] = L"";
  if (code == HC_ACTION && call->message == WM_SHOWWINDOW && call->wParam && !ShownSize.cx &&
      GetClassNameW(call->hwnd, name, 16) && lstrcmpW(name, kClassName) == 0) {
    RECT rect;
    GetWindowRect(call->hwnd, &rect);
    ShownSize = {rect.right - rect.left, rect.bottom - rect.top};
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The larger metrics live in the running session only (not in the user's settings) and are
// put back after the case, so that the other window tests see the default look.
class EnlargedFrameTest : public MainWindowTest {
 protected:
  void SetUp() override {
    saved_.cbSize = sizeof saved_;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof saved_, &saved_, 0));
    NONCLIENTMETRICSA larger = saved_;
    larger.iCaptionHeight = larger.iSmCaptionHeight = 30;
    larger.iBorderWidth = 5;
    larger.iPaddedBorderWidth = 4;
    changed_ = SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof larger, &larger, 0);
    ASSERT_TRUE(changed_);
    ShownSize = {};
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, NoteFirstShow, nullptr, GetCurrentThreadId());
    MainWindowTest::SetUp();
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    if (hook_) UnhookWindowsHookEx(hook_);
    if (changed_) SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof saved_, &saved_, 0);
  }

 private:
  NONCLIENTMETRICSA saved_ = {};
  BOOL changed_ = FALSE;
  HHOOK hook_ = nullptr;
};

TEST_F(EnlargedFrameTest, WindowGrowsByWhatTheFrameTakesMore) {
  RECT frame = {};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(MainWindow, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(MainWindow, GWL_EXSTYLE)));
  const LONG frameWidth = frame.right - frame.left;
  const LONG frameHeight = frame.bottom - frame.top;
  ASSERT_GT(86 + frameHeight, 115) << "this frame would not cut the controls off";
  RECT client;
  RECT outer;
  GetClientRect(MainWindow, &client);
  GetWindowRect(MainWindow, &outer);
  EXPECT_GE(client.right, 432);
  EXPECT_GE(client.bottom, 86);
  EXPECT_EQ(outer.right - outer.left, std::max(438L, 432 + frameWidth));
  EXPECT_EQ(outer.bottom - outer.top, 86 + frameHeight);
  EXPECT_EQ(ShownSize.cx, outer.right - outer.left);
  EXPECT_EQ(ShownSize.cy, outer.bottom - outer.top);
}

// Wine's fixed frame does not widen with the border metric, so the width is grown directly.
TEST_F(MainWindowTest, GrowingKeepsThePlaceAndAddsJustTheLack) {
  SetWindowPos(MainWindow, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(MainWindow, &client);
  GrowClientArea(MainWindow, client.right + 9, client.bottom + 4);
  RECT outer;
  GetWindowRect(MainWindow, &outer);
  EXPECT_EQ(outer.left, 40);
  EXPECT_EQ(outer.top, 30);
  EXPECT_EQ(outer.right - outer.left, 438 + 9);
  EXPECT_EQ(outer.bottom - outer.top, 115 + 4);
}

}  // namespace
