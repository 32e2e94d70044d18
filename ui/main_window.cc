#include "ui/main_window.h"

#include <windowsx.h>

#include "ui/app_state.h"
#include "ui/busy.h"
#include "ui/commands.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/controls.h"
#include "ui/drop.h"
#include "ui/texts.h"
#include "ui/window_fit.h"

namespace {

BOOL OnCreate(HWND window, LPCREATESTRUCT) {
  MainWindow = window;
  CreateControls(window);
  // Still hidden here: CreateWindowExW shows a WS_VISIBLE window only after WM_CREATE, so a
  // thicker frame is made up for before the window first appears.
  FitWindowToControls(window);
  return TRUE;
}

void OnDestroy(HWND) {
  DeleteObject(SharedFont);
  DeleteObject(BackgroundBrush);
  PostQuitMessage(0);
}

void OnDropFiles(HWND, HDROP drop) {
  InspectDroppedFile(drop);
}

void OnClose(HWND window) {
  // Sent by another program while a split or restore repaints: closed once the work has ended.
  if (WorkRunning()) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    return;
  }
  DestroyWindow(window);
}

void OnCommand(HWND, int id, HWND, UINT notification) {
  if (notification != BN_CLICKED) return;
  switch (id) {
    case ID_UNIT_BYTE:
      SetControlText(ID_UNIT_LABEL, kTextByte);
      break;
    case ID_UNIT_KB:
      SetControlText(ID_UNIT_LABEL, kTextKB);
      break;
    case ID_UNIT_MB:
      SetControlText(ID_UNIT_LABEL, kTextMB);
      break;
    case ID_SPLIT:
      RunSplitCommand();
      break;
    case ID_RESTORE:
      RunRestoreCommand();
      break;
    default:
      break;
  }
}

}  // namespace

void CreateSharedResources() {
  SharedFont = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                           OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY,
                           FF_MODERN | VARIABLE_PITCH, WideText(kFontFace).c_str());
  BackgroundBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
}

bool RegisterMainWindowClass() {
  const std::wstring className = WideText(kClassName);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));      // IDI_APPLICATION
  wc.hIconSm = LoadIconW(nullptr, MAKEINTRESOURCEW(32517));    // IDI_WINLOGO
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = BackgroundBrush;
  wc.lpszClassName = className.c_str();
  return RegisterClassExW(&wc) != 0;
}

HWND CreateMainWindow() {
  return CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_ACCEPTFILES, WideText(kClassName).c_str(),
                         WideText(kTitle).c_str(), WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
                         CW_USEDEFAULT, CW_USEDEFAULT, 438, 115, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// Only dispatches: each message has its handler above, in the order they are tested.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    HANDLE_MSG(window, WM_DESTROY, OnDestroy);
    HANDLE_MSG(window, WM_CREATE, OnCreate);
    HANDLE_MSG(window, WM_DROPFILES, OnDropFiles);
    HANDLE_MSG(window, WM_CLOSE, OnClose);
    HANDLE_MSG(window, WM_COMMAND, OnCommand);
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}
