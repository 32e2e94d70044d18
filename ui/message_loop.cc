#include "ui/message_loop.h"

#include <cstdint>

#include "ui/app_state.h"
#include "ui/commands.h"

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

void ProcessMessage(const MSG& message) {
  TranslateMessage(&message);
  DispatchMessageW(&message);
  CheckEnterKey();
}

void RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) ProcessMessage(message);
}
