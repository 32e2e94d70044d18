#include "ui/controls.h"

#include <algorithm>
#include <iterator>

#include "ui/accessible_name.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/later_windows.h"
#include "ui/texts.h"

HFONT SharedFont = nullptr;

namespace {

// How a control's text is measured against its box.
enum class Fit {
  kNone,    // the size field, the path and information lines, the frame: no label
  kLabel,   // a static label: its text on one line
  kRadio,   // a radio button: the circle, a gap and the text
  kButton,  // a push button: the text inside the button's edges
};

struct ControlSpec {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;  // besides WS_CHILD | WS_VISIBLE
  DWORD exStyle;
  int x, y, width, height;  // client pixels at 96 DPI
  Fit fit;
};

// In creation order. The tab stops, in that order: the size field, the units (one group, the
// arrow keys choose, the checked one is the stop), the two buttons; WS_GROUP also ends the group
// before.
const ControlSpec kControls[] = {
    {ID_SIZE, kClassEdit, L"", WS_GROUP | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
     329, 64, 30, 18, Fit::kNone},
    {ID_UNIT_BYTE, kClassButton, kTextByte, WS_GROUP | BS_AUTORADIOBUTTON, 0, 384, 15, 48, 14,
     Fit::kRadio},
    {ID_UNIT_KB, kClassButton, kTextKB, BS_AUTORADIOBUTTON, 0, 384, 31, 48, 14, Fit::kRadio},
    {ID_UNIT_MB, kClassButton, kTextMB, BS_AUTORADIOBUTTON, 0, 384, 47, 48, 14, Fit::kRadio},
    {ID_RESTORE, kClassButton, kTextRestore, WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, 0, 30, 64, 80,
     20, Fit::kButton},
    // The two lines show names of files as they are: an "&" in one is no mnemonic.
    {ID_INFO, kClassStatic, L"", WS_GROUP | SS_LEFT | SS_NOPREFIX, 0, 280, 41, 92, 12, Fit::kNone},
    {ID_PATH, kClassStatic, kTextPathStart, SS_LEFT | SS_NOPREFIX, 0, 12, 11, 358, 22, Fit::kNone},
    {ID_FRAME, kClassButton, L"", BS_GROUPBOX, 0, 4, 0, 374, 59, Fit::kNone},
    {ID_SPLIT_BY, kClassStatic, kTextSplitBy, SS_LEFT, 0, 386, 70, 37, 12, Fit::kLabel},
    {ID_UNIT_LABEL, kClassStatic, kTextKB, SS_LEFT, 0, 363, 70, 24, 12, Fit::kLabel},
    {ID_ENTER_KEY, kClassStatic, kTextEnterKey, SS_LEFT, 0, 207, 70, 62, 16, Fit::kLabel},
    {ID_SPLIT, kClassButton, kTextSplit, WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, 0, 267, 65, 36, 18,
     Fit::kButton},
};
constexpr size_t kControlCount = std::size(kControls);

// Left to right along the bottom row: a control there that grows pushes the ones after it.
const int kBottomRow[] = {ID_RESTORE, ID_ENTER_KEY, ID_SPLIT, ID_SIZE, ID_UNIT_LABEL, ID_SPLIT_BY};

// The font's height (of the characters) at 96 DPI.
constexpr int kFontHeight = -11;

// The DPI of the current layout, and the one the shared font was made for.
UINT g_dpi = 96;
UINT g_fontDpi = 0;

int Scale(int value) {
  return MulDiv(value, static_cast<int>(g_dpi), 96);
}

// A control's rectangle at the current DPI: each of its 96 DPI values scaled.
RECT ScaledRect(const ControlSpec& c) {
  const int x = Scale(c.x);
  const int y = Scale(c.y);
  return RECT{x, y, x + Scale(c.width), y + Scale(c.height)};
}

size_t IndexOf(int id) {
  for (size_t i = 0; i < kControlCount; ++i) {
    if (kControls[i].id == id) return i;
  }
  return 0;
}

// The size of `text` on one line in the font of `control`.
SIZE TextSize(HWND control, const wchar_t* text) {
  HDC dc = GetDC(control);
  const HGDIOBJ before =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
  SelectObject(dc, before);
  ReleaseDC(control, dc);
  return size;
}

// The room that the text of `c` needs in its box: its text on one line, with the circle and
// gap of a radio button or the edges of a push button. The unit label takes the widest of the
// units it shows.
SIZE NeededSize(HWND control, const ControlSpec& c) {
  SIZE size = TextSize(control, c.text);
  if (c.id == ID_UNIT_LABEL) {
    for (const wchar_t* unit : {kTextByte, kTextKB, kTextMB}) {
      size.cx = std::max(size.cx, TextSize(control, unit).cx);
    }
  }
  if (c.fit == Fit::kRadio) {
    // The circle (13 pixels at 96 DPI, as the system draws it), half a digit's gap, and a
    // pixel either side of the text for the focus rectangle.
    size.cx += Scale(13) + TextSize(control, L"0").cx / 2 + Scale(2);
    size.cy = std::max(size.cy, static_cast<LONG>(Scale(13)));
  } else if (c.fit == Fit::kButton) {
    // The edges and the focus rectangle inside them: 4 pixels a side at 96 DPI.
    size.cx += Scale(8);
    size.cy += Scale(4);
  }
  return size;
}

// The information line's rectangle for its text: its own, or, for a longer text (a reason for a
// failure), one that reaches left to where the path line starts, so that the text is read whole
// where it fits in the frame.
RECT InfoLineRect(HWND info) {
  RECT rect = ScaledRect(kControls[IndexOf(ID_INFO)]);
  const int leftmost = ScaledRect(kControls[IndexOf(ID_PATH)]).left;
  const int needed = TextSize(info, ControlWideText(ID_INFO).c_str()).cx;
  rect.left = std::max(leftmost, std::min<int>(rect.left, rect.right - needed));
  return rect;
}

// Puts the information line at its rectangle for its text, after a change of the text.
void PlaceInfoLine(HWND window) {
  HWND info = GetDlgItem(window, ID_INFO);
  const RECT r = InfoLineRect(info);
  SetWindowPos(info, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// Puts every control at its rectangle for the current DPI, grown where its text needs more
// room: wider (and, in the bottom row, what stands to its right moved on by as much) and
// taller. With the font the window asks for, at 96 DPI, nothing grows. The information line
// reaches as far left as its text needs.
void PlaceControls(HWND window) {
  RECT rects[kControlCount];
  int growth[kControlCount] = {};
  for (size_t i = 0; i < kControlCount; ++i) {
    const ControlSpec& c = kControls[i];
    rects[i] = c.id == ID_INFO ? InfoLineRect(GetDlgItem(window, c.id)) : ScaledRect(c);
    if (c.fit == Fit::kNone) continue;
    const SIZE needed = NeededSize(GetDlgItem(window, c.id), c);
    growth[i] = std::max(0, static_cast<int>(needed.cx - (rects[i].right - rects[i].left)));
    rects[i].right += growth[i];
    rects[i].bottom = std::max(rects[i].bottom, rects[i].top + needed.cy);
  }
  int shift = 0;
  for (int id : kBottomRow) {
    const size_t i = IndexOf(id);
    OffsetRect(&rects[i], shift, 0);
    shift += growth[i];
  }
  for (size_t i = 0; i < kControlCount; ++i) {
    const RECT& r = rects[i];
    SetWindowPos(GetDlgItem(window, kControls[i].id), nullptr, r.left, r.top, r.right - r.left,
                 r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// Makes the shared font for the current DPI, if it is not that one already, and gives it to
// every control there is.
void UseFontForDpi(HWND window) {
  if (SharedFont && g_fontDpi == g_dpi) return;
  const HFONT font = CreateFontW(Scale(kFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 SHIFTJIS_CHARSET, OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS,
                                 DRAFT_QUALITY, FF_MODERN | VARIABLE_PITCH, kFontFace);
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  if (SharedFont) DeleteObject(SharedFont);
  SharedFont = font;
  g_fontDpi = g_dpi;
}

// The union of the controls' rectangles as they are, in client pixels.
RECT ControlsExtent(HWND window) {
  RECT extent = {};
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    UnionRect(&extent, &extent, &rect);
  }
  return extent;
}

}  // namespace

UINT WindowDpi(HWND window) {
  // Windows 10 1607 and later: the DPI of the monitor the window is on.
  typedef UINT(WINAPI * GetDpiForWindowFn)(HWND);
  if (auto dpiOf = LaterFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow")) {
    if (const UINT dpi = dpiOf(window)) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

void CreateControls(HWND parent) {
  g_dpi = WindowDpi(parent);
  UseFontForDpi(parent);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const ControlSpec& c : kControls) {
    const RECT r = ScaledRect(c);
    HWND control =
        CreateWindowExW(c.exStyle, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, r.left,
                        r.top, r.right - r.left, r.bottom - r.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(SharedFont), 0);
    // The size field has no label before it from which a screen reader would take its name.
    if (c.id == ID_SIZE) NameForScreenReaders(control, kTextSizeName);
  }
  SendDlgItemMessageW(parent, ID_UNIT_KB, BM_SETCHECK, 1, 0);
  MoveUnitTabStop(parent);
  SetDlgItemTextW(parent, ID_SIZE, kTextInitialSize);
  PlaceControls(parent);
  SetWindowPos(parent, nullptr, 0, 0, Scale(kWindowWidth), Scale(kWindowHeight),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  FitWindowToControls(parent);
}

void MoveUnitTabStop(HWND window) {
  for (int id : {ID_UNIT_BYTE, ID_UNIT_KB, ID_UNIT_MB}) {
    HWND unit = GetDlgItem(window, id);
    const LONG style = GetWindowLongW(unit, GWL_STYLE);
    const bool checked = SendMessageW(unit, BM_GETCHECK, 0, 0) == BST_CHECKED;
    SetWindowLongW(unit, GWL_STYLE, checked ? style | WS_TABSTOP : style & ~WS_TABSTOP);
  }
}

void LayOutAtDpi(HWND window, UINT dpi, const RECT& suggested) {
  g_dpi = dpi;
  UseFontForDpi(window);
  PlaceControls(window);
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FitWindowToControls(window);
}

void ShowInfo(const std::wstring& text) {
  SetControlText(ID_INFO, text.c_str());
  PlaceInfoLine(MainWindow);
}

void ReleaseSharedFont() {
  if (SharedFont) DeleteObject(SharedFont);
  SharedFont = nullptr;
  g_fontDpi = 0;
}

void GrowClientArea(HWND window, int width, int height) {
  RECT client;
  RECT frame;
  GetClientRect(window, &client);
  GetWindowRect(window, &frame);
  // The frame (caption, borders) takes what it takes; only the client area's lack is added.
  const int moreWidth = std::max(0, width - static_cast<int>(client.right));
  const int moreHeight = std::max(0, height - static_cast<int>(client.bottom));
  if (moreWidth == 0 && moreHeight == 0) return;
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + moreWidth,
               frame.bottom - frame.top + moreHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void FitWindowToControls(HWND window) {
  const RECT extent = ControlsExtent(window);
  GrowClientArea(window, extent.right, extent.bottom);
}
