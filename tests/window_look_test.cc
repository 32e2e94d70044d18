// The real main window as start-up creates it: its look, the shared font, brush and class,
// the twelve controls and the initial state, the unit buttons, closing, and start-up failing.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <cstdlib>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/window_test_util.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/controls.h"
#include "ui/main.h"
#include "ui/texts.h"

namespace {

// In creation order, which is the order of the tab stops and the one in which screen readers
// look for a label before a control.
struct ExpectedControl {
  int id;
  const char* className;
  const wchar_t* text;
  DWORD style;  // the low word of the style: the control's own bits
};

const ExpectedControl kExpected[] = {
    {ID_SIZE, "Edit", L"500", ES_NUMBER | ES_AUTOHSCROLL},
    {ID_UNIT_BYTE, "Button", L"byte", BS_AUTORADIOBUTTON},
    {ID_UNIT_KB, "Button", L"KB", BS_AUTORADIOBUTTON},
    {ID_UNIT_MB, "Button", L"MB", BS_AUTORADIOBUTTON},
    {ID_RESTORE, "Button", kTextRestore, BS_PUSHBUTTON},
    {ID_INFO, "Static", L"", SS_LEFT | SS_NOPREFIX},  // "&" in a name is shown
    {ID_PATH, "Static", L"file...", SS_LEFT | SS_NOPREFIX},
    {ID_FRAME, "Button", L"", BS_GROUPBOX},
    {ID_SPLIT_BY, "Static", kTextSplitBy, SS_LEFT},
    {ID_UNIT_LABEL, "Static", L"KB", SS_LEFT},
    {ID_ENTER_KEY, "Static", kTextEnterKey, SS_LEFT},
    {ID_SPLIT, "Button", kTextSplit, BS_PUSHBUTTON},
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
  LOGFONTW font = {};
  ASSERT_EQ(GetObjectW(SharedFont, sizeof font, &font), static_cast<int>(sizeof font));
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
    wchar_t text[128] = L"";
    GetWindowTextW(child, text, 128);
    EXPECT_STREQ(text, want.text);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(style & 0xFFFFu, want.style);
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

// The layout at a DPI is the one at 96 DPI scaled: every control's position and size and the
// font's height, and every control lies inside the client area. At the DPI the window starts
// with (96, or 144 in the prefix the test command sets so), then at 96, 144 and 120 as
// WM_DPICHANGED brings them, in the rectangle that Windows would suggest.
TEST_F(WindowTest, LaidOutAtTheWindowsDpi) {
  const UINT start = WindowDpi(MainWindow);
  if (const char* expected = std::getenv("FILECUT_EXPECT_DPI")) {
    ASSERT_EQ(start, static_cast<UINT>(std::atoi(expected)));
  }
  // At each DPI: every control's left, top, width and height, then the font's height.
  std::vector<std::pair<UINT, std::vector<LONG>>> layouts;
  UINT current = start;
  for (UINT dpi : {start, 96u, 144u, 120u}) {
    if (dpi != current) {
      current = dpi;
      RECT suggested;
      GetWindowRect(MainWindow, &suggested);
      suggested.right = suggested.left + MulDiv(438, dpi, 96);
      suggested.bottom = suggested.top + MulDiv(115, dpi, 96);
      SendMessageW(MainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    }
    RECT client;
    GetClientRect(MainWindow, &client);
    std::vector<LONG>& layout = layouts.emplace_back(dpi, std::vector<LONG>()).second;
    for (const ExpectedControl& want : kExpected) {
      RECT r;
      GetWindowRect(Control(want.id), &r);
      MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&r), 2);
      EXPECT_TRUE(r.right <= client.right && r.bottom <= client.bottom) << dpi << " " << want.id;
      layout.insert(layout.end(), {r.left, r.top, r.right - r.left, r.bottom - r.top});
    }
    LOGFONTW font = {};
    GetObjectW(SharedFont, sizeof font, &font);
    layout.push_back(font.lfHeight);
  }
  const std::vector<LONG>& at96 = layouts[1].second;
  for (const auto& [dpi, layout] : layouts) {
    for (size_t i = 0; i < at96.size(); ++i) {
      EXPECT_EQ(layout[i], MulDiv(at96[i], dpi, 96))
          << dpi << ": control " << i / 4 << ", value " << i % 4;
    }
  }
}

// No label wraps or clips in the font the window uses: the test command runs this in a prefix
// with a substitute for "ＭＳ Ｐゴシック" and in one without, and at 144 DPI.
TEST_F(WindowTest, EveryLabelFitsItsBox) {
  const int dpi = static_cast<int>(WindowDpi(MainWindow));
  // Beside its text a unit draws its circle, a button its edges: 13 and 4 pixels at 96 DPI.
  const std::tuple<int, const wchar_t*, int> labels[] = {
      {ID_SPLIT_BY, kTextSplitBy, 0}, {ID_ENTER_KEY, kTextEnterKey, 0},
      {ID_UNIT_LABEL, kTextByte, 0},  {ID_UNIT_LABEL, kTextKB, 0},
      {ID_UNIT_BYTE, kTextByte, 13},  {ID_UNIT_MB, kTextMB, 13},
      {ID_RESTORE, kTextRestore, 4},  {ID_SPLIT, kTextSplit, 4}};
  for (const auto& [id, text, besides] : labels) {
    HDC dc = GetDC(Control(id));
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Control(id), WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    ReleaseDC(Control(id), dc);
    RECT box;
    GetClientRect(Control(id), &box);
    EXPECT_LE(size.cx + MulDiv(besides, dpi, 96), box.right) << id;
    EXPECT_LE(size.cy, box.bottom) << id;
  }
}

// The name a screen reader says for the size box, which has no text of its own to say (the
// buttons say theirs).
TEST_F(WindowTest, TheSizeBoxHasANameForScreenReaders) {
  // Spelt out: MinGW's import library has IID_IAccessible as an import, not its value.
  const IID accessible = {
      0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
  IAccessible* object = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(Control(ID_SIZE), OBJID_CLIENT, accessible,
                                       reinterpret_cast<void**>(&object)),
            S_OK);
  VARIANT self = {};
  self.vt = VT_I4;  // CHILDID_SELF, 0: the control itself
  BSTR name = nullptr;
  object->get_accName(self, &name);
  EXPECT_STREQ(name, kTextSizeName);
  SysFreeString(name);
  // Its other interfaces are the standard object's: the window it stands for, for one.
  IOleWindow* window = nullptr;
  ASSERT_EQ(object->QueryInterface(__uuidof(IOleWindow), reinterpret_cast<void**>(&window)), S_OK);
  HWND shown = nullptr;
  window->GetWindow(&shown);
  EXPECT_EQ(shown, Control(ID_SIZE));
  window->Release();
  object->Release();
}

}  // namespace
