#include "ui/message_loop.h"

#include <cstdint>

#include "ui/app_state.h"
#include "ui/commands.h"

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
  DispatchMessageA(&message);
  CheckEnterKey();
}

void RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) ProcessMessage(message);
}
