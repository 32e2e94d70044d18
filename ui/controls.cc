#include "ui/controls.h"

#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/texts.h"
#include "ui/work.h"

namespace {

struct ControlSpec {
  int id;
  const char* className;
  const char* text;
  DWORD style;  // besides WS_CHILD | WS_VISIBLE
  DWORD exStyle;
  int x, y, width, height;
  bool startsWork;  // a work is started or changed through it
};

// In creation order; coordinates are client pixels.
const ControlSpec kControls[] = {
    {ID_SIZE, "EDIT", "", ES_NUMBER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 329, 64, 30, 18, true},
    {ID_UNIT_BYTE, "BUTTON", kTextByte, BS_AUTORADIOBUTTON, 0, 384, 15, 48, 14, true},
    {ID_UNIT_KB, "BUTTON", kTextKB, BS_AUTORADIOBUTTON, 0, 384, 31, 48, 14, true},
    {ID_UNIT_MB, "BUTTON", kTextMB, BS_AUTORADIOBUTTON, 0, 384, 47, 48, 14, true},
    {ID_RESTORE, "BUTTON", kTextRestore, BS_PUSHBUTTON, 0, 30, 64, 80, 20, true},
    {ID_INFO, "STATIC", "", SS_LEFT, 0, 280, 41, 92, 12, false},
    {ID_PATH, "STATIC", kTextPathStart, SS_LEFT, 0, 12, 11, 358, 22, false},
    {ID_FRAME, "BUTTON", "", BS_GROUPBOX, 0, 4, 0, 374, 59, false},
    {ID_SPLIT_BY, "STATIC", kTextSplitBy, SS_LEFT, 0, 386, 70, 37, 12, false},
    {ID_UNIT_LABEL, "STATIC", kTextKB, SS_LEFT, 0, 363, 70, 24, 12, false},
    {ID_ENTER_KEY, "STATIC", kTextEnterKey, SS_LEFT, 0, 207, 70, 62, 16, false},
    {ID_SPLIT, "BUTTON", kTextSplit, BS_PUSHBUTTON, 0, 267, 65, 36, 18, true},
};

}  // namespace

void CreateControls(HWND parent) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const ControlSpec& c : kControls) {
    HWND control =
        CreateWindowExW(c.exStyle, WideText(c.className).c_str(), WideText(c.text).c_str(),
                        WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.width, c.height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(SharedFont), 0);
    if (c.startsWork) GuardDuringWork(control);
  }
  SendDlgItemMessageW(parent, ID_UNIT_KB, BM_SETCHECK, 1, 0);
  SetDlgItemTextW(parent, ID_SIZE, WideText(kTextInitialSize).c_str());
}

RECT ControlsExtent() {
  RECT extent = {};
  for (const ControlSpec& c : kControls) {
    const RECT rect = {c.x, c.y, c.x + c.width, c.y + c.height};
    UnionRect(&extent, &extent, &rect);
  }
  return extent;
}
