#include "ui/busy.h"

#include <windows.h>

#include "core/progress.h"
#include "ui/app_state.h"
#include "ui/progress.h"

namespace {

bool g_working = false;

// A quit message comes whatever the range asked for. Taken on the way, it is kept here and put
// back for the message loop once the input has gone.
bool g_quit = false;
WPARAM g_quitCode = 0;

// Takes the next message of the range out of the queue.
bool TakeMessage(MSG* message, UINT first, UINT last) {
  while (PeekMessageW(message, nullptr, first, last, PM_REMOVE)) {
    if (message->message != WM_QUIT) return true;
    g_quit = true;
    g_quitCode = message->wParam;
  }
  return false;
}

// Removes every keyboard and mouse message queued for the thread, in the client area and on
// the frame, without acting on it. Taking them out of the queue also brings the key states
// that GetKeyState reads up to date.
void DiscardInput() {
  static const UINT kInputRanges[][2] = {
      {WM_KEYFIRST, WM_KEYLAST},
      {WM_MOUSEFIRST, WM_MOUSELAST},
      {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK},
  };
  MSG message;
  for (const auto& range : kInputRanges) {
    while (TakeMessage(&message, range[0], range[1])) {
    }
  }
  if (g_quit) PostQuitMessage(static_cast<int>(g_quitCode));
  g_quit = false;
}

}  // namespace

bool WorkRunning() {
  return g_working;
}

void BeginWork() {
  g_working = true;
  SetProgressReport(ShowProgress);
}

void EndWork() {
  SetProgressReport(nullptr);
  EndProgress();
  // Still at work while the input goes: a click that another program sends meanwhile is
  // refused like one sent during the work.
  DiscardInput();
  g_working = false;
  // As at start-up, a key that is already down does not split: it counts as seen held.
  EnterLatch = GetKeyState(VK_RETURN) < 0 ? -1 : 1;
}

void PumpPaintMessages() {
  MSG message;
  while (TakeMessage(&message, WM_PAINT, WM_PAINT)) DispatchMessageW(&message);
  DiscardInput();
}
