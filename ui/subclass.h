// The program's own window procedure put over a control's (subclassing): it handles what it
// changes and passes everything else on to the procedure it was put over. A control may carry
// several, one over the other; each keeps the procedure below it in a window property under a
// name of its own, its slot.
#pragma once

#include <windows.h>

// Puts `procedure` over the control's window procedure, which it keeps under `slot`.
inline void SubclassControl(HWND control, const wchar_t* slot, WNDPROC procedure) {
  SetPropW(control, slot, reinterpret_cast<HANDLE>(GetWindowLongPtrW(control, GWLP_WNDPROC)));
  SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

// Passes a message on to the procedure kept under `slot`. The control's last message,
// WM_NCDESTROY, takes the slot away.
inline LRESULT CallProcedureBelow(HWND control, const wchar_t* slot, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
  const auto below = reinterpret_cast<WNDPROC>(GetPropW(control, slot));
  if (message == WM_NCDESTROY) RemovePropW(control, slot);
  return CallWindowProcW(below, control, message, wParam, lParam);
}
