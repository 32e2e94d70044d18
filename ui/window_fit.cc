#include "ui/window_fit.h"

#include <algorithm>

#include "ui/controls.h"

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
  const RECT extent = ControlsExtent();
  GrowClientArea(window, extent.right, extent.bottom);
}
