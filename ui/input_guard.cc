#include "ui/input_guard.h"

#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/recovery_menu.h"

namespace {

// Whether a work holds the input, and the control that had the focus before it.
bool g_held = false;
HWND g_focusBefore = nullptr;

// What a control must not act on during a work. Disabled, it gets no input from the user, but
// another program may still send or post it anything.
bool ChangesControl(UINT message) {
  switch (message) {
    case BM_CLICK:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_SETTEXT:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_REPLACESEL:
    case EM_UNDO:
    case 0x0119:  // WM_GESTURE (Windows 7)
    case 0x0240:  // WM_TOUCH (Windows 7)
      return true;
    default:
      return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
             (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
             (message >= 0x0241 && message <= 0x0257);  // WM_POINTER... (Windows 8)
  }
}

// The guard's window procedure: the control's own one, but for what ChangesControl names
// during a work.
LRESULT CALLBACK GuardedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_USERDATA));
  if (g_held && ChangesControl(message)) return 0;
  return CallWindowProcW(own, control, message, wParam, lParam);
}

void EnableInput(bool enable) {
  for (int id : kWorkControls) EnableWindow(GetDlgItem(MainWindow, id), enable);
  EnableRecoveryChoices(MainWindow, enable);
}

}  // namespace

void GuardDuringWork(HWND control) {
  // The control's own procedure is kept in its user data, which nothing else uses.
  SetWindowLongPtrW(control, GWLP_USERDATA, GetWindowLongPtrW(control, GWLP_WNDPROC));
  SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GuardedControlProc));
}

void HoldInputForWork() {
  g_held = true;
  g_focusBefore = GetFocus();
  SetFocus(MainWindow);
  EnableInput(false);
}

void ReleaseInputAfterWork() {
  g_held = false;
  EnableInput(true);
  if (g_focusBefore && IsChild(MainWindow, g_focusBefore)) SetFocus(g_focusBefore);
}
