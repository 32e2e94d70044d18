#include "ui/controls.h"

#include <algorithm>

#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/texts.h"
#include "ui/work.h"

namespace {

struct ControlSpec {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;  // besides WS_CHILD | WS_VISIBLE
  DWORD exStyle;
  int x, y, width, height;
  bool startsWork;  // a work is started or changed through it
};

// In creation order; coordinates are client pixels.
const ControlSpec kControls[] = {
    {ID_SIZE, kClassEdit, L"", ES_NUMBER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 329, 64, 30, 18, true},
    {ID_UNIT_BYTE, kClassButton, kTextByte, BS_AUTORADIOBUTTON, 0, 384, 15, 48, 14, true},
    {ID_UNIT_KB, kClassButton, kTextKB, BS_AUTORADIOBUTTON, 0, 384, 31, 48, 14, true},
    {ID_UNIT_MB, kClassButton, kTextMB, BS_AUTORADIOBUTTON, 0, 384, 47, 48, 14, true},
    {ID_RESTORE, kClassButton, kTextRestore, BS_PUSHBUTTON, 0, 30, 64, 80, 20, true},
    {ID_INFO, kClassStatic, L"", SS_LEFT, 0, 280, 41, 92, 12, false},
    {ID_PATH, kClassStatic, kTextPathStart, SS_LEFT, 0, 12, 11, 358, 22, false},
    {ID_FRAME, kClassButton, L"", BS_GROUPBOX, 0, 4, 0, 374, 59, false},
    {ID_SPLIT_BY, kClassStatic, kTextSplitBy, SS_LEFT, 0, 386, 70, 37, 12, false},
    {ID_UNIT_LABEL, kClassStatic, kTextKB, SS_LEFT, 0, 363, 70, 24, 12, false},
    {ID_ENTER_KEY, kClassStatic, kTextEnterKey, SS_LEFT, 0, 207, 70, 62, 16, false},
    {ID_SPLIT, kClassButton, kTextSplit, BS_PUSHBUTTON, 0, 267, 65, 36, 18, true},
};

const ControlSpec& SpecOf(int id) {
  for (const ControlSpec& c : kControls) {
    if (c.id == id) return c;
  }
  return kControls[0];
}

// The width of `text` in the font of `control`, on one line.
int TextWidth(HWND control, const std::wstring& text) {
  HDC dc = GetDC(control);
  const HGDIOBJ before =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, before);
  ReleaseDC(control, dc);
  return size.cx;
}

}  // namespace

void CreateControls(HWND parent) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const ControlSpec& c : kControls) {
    HWND control = CreateWindowExW(
        c.exStyle, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.width,
        c.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(SharedFont), 0);
    if (c.startsWork) GuardDuringWork(control);
  }
  SendDlgItemMessageW(parent, ID_UNIT_KB, BM_SETCHECK, 1, 0);
  SetDlgItemTextW(parent, ID_SIZE, kTextInitialSize);
}

void ShowInfo(const std::wstring& text) {
  HWND info = GetDlgItem(MainWindow, ID_INFO);
  SetWindowTextW(info, text.c_str());
  // Its own box, or, for a longer text (a reason for a failure), a box that reaches left to
  // where the path line starts, so that the text is read whole where it fits in the frame.
  const ControlSpec& own = SpecOf(ID_INFO);
  const int right = own.x + own.width;
  const int leftmost = SpecOf(ID_PATH).x;
  const int left = std::max(leftmost, std::min(own.x, right - TextWidth(info, text)));
  SetWindowPos(info, nullptr, left, own.y, right - left, own.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT ControlsExtent() {
  RECT extent = {};
  for (const ControlSpec& c : kControls) {
    const RECT rect = {c.x, c.y, c.x + c.width, c.y + c.height};
    UnionRect(&extent, &extent, &rect);
  }
  return extent;
}
