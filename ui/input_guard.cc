#include "ui/input_guard.h"

#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/recovery_menu.h"
#include "ui/subclass.h"

namespace {

const wchar_t kSlot[] = L"filecut.guard";

// Whether a work holds the input, and the control that gets the focus back.
bool g_held = false;
HWND g_focus = nullptr;

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
  if (g_held && ChangesControl(message)) return 0;
  return CallProcedureBelow(control, kSlot, message, wParam, lParam);
}

void EnableInput(bool enable) {
  for (int id : kWorkControls) EnableWindow(GetDlgItem(MainWindow, id), enable);
  EnableRecoveryChoices(MainWindow, enable);
}

}  // namespace

void GuardDuringWork(HWND control) {
  SubclassControl(control, kSlot, GuardedControlProc);
}

void RememberFocus(HWND control) {
  if (control && IsChild(MainWindow, control)) g_focus = control;
}

void GiveFocusBack() {
  if (!g_held && g_focus && IsChild(MainWindow, g_focus)) SetFocus(g_focus);
}

void HoldInputForWork() {
  g_held = true;
  RememberFocus(GetFocus());
  SetFocus(MainWindow);
  EnableInput(false);
}

void ReleaseInputAfterWork() {
  g_held = false;
  EnableInput(true);
  // An inactive window gets it back as it is activated again.
  if (GetActiveWindow() == MainWindow) GiveFocusBack();
}
