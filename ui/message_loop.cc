#include "ui/message_loop.h"

#include <cstdint>

#include "ui/app_state.h"
#include "ui/commands.h"
#include "ui/work.h"

namespace {

// Esc, whichever window has the focus (the work keeps it on the main window; without a focus
// Windows sends keys as system keys).
bool IsEscapeKey(const MSG& message) {
  return (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
         message.wParam == VK_ESCAPE;
}

// Enter, which has its own rule (CheckEnterKey) and must not press a button as in a dialog.
bool IsEnterKey(const MSG& message) {
  return (message.message == WM_KEYDOWN || message.message == WM_KEYUP ||
          message.message == WM_CHAR) &&
         (message.wParam == VK_RETURN || message.wParam == L'\n');
}

}  // namespace

// Exact by design (README, "Behaviour kept on purpose"): a latch read after every message, not a
// key message or a default button, so that Enter splits once per press whichever control has
// the focus, and a key already down when the program starts does not split.
void CheckEnterKey() {
  if (GetKeyState(VK_RETURN) < 0) {
    // Held down: count on below zero, stopping at the bottom so that the latch can neither
    // overflow nor come round to zero again while the key stays down.
    if (EnterLatch > INT32_MIN) --EnterLatch;
  } else {
    EnterLatch = 1;
  }
  if (EnterLatch == 0) RunSplitCommand();
}

// Tab and Shift+Tab move through the controls, the arrow keys through the units, and Space
// presses the focused button, as in a dialog (IsDialogMessageW), but for Enter and Esc.
void ProcessMessage(const MSG& message) {
  if (WorkRunning() && IsEscapeKey(message)) {
    RequestStop();
  } else if (IsEnterKey(message) || !IsDialogMessageW(MainWindow, const_cast<MSG*>(&message))) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  CheckEnterKey();
}

void RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) ProcessMessage(message);
}
