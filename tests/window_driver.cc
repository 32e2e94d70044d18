// Drives a running filecut.exe from outside its process, as a user would. It finds the window
// by its class, then:
//   window_driver split <size text> <source path>  types both, presses Enter, waits for the
//                                                  result message and closes the window
//   window_driver rect                             prints the window's screen rectangle
//   window_driver close                            closes the window
// Exit code 0 on success.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "tests/win_test_util.h"
#include "ui/control_ids.h"
#include "ui/texts.h"

namespace {

HWND WaitForWindow() {
  for (int i = 0; i < 300; ++i) {
    HWND window = FindWindowW(kClassName, nullptr);
    if (window) return window;
    Sleep(100);
  }
  return nullptr;
}

int Split(HWND window, const char* size, const char* path) {
  SetDlgItemTextA(window, ID_SIZE, size);
  SetDlgItemTextA(window, ID_PATH, path);
  SetForegroundWindow(window);
  Sleep(200);
  SendKey(VK_RETURN, false);
  Sleep(100);
  SendKey(VK_RETURN, true);

  wchar_t text[300] = L"";
  bool done = false;
  for (int i = 0; i < 300 && !done; ++i) {
    Sleep(100);
    GetDlgItemTextW(window, ID_PATH, text, 300);
    done = lstrcmpW(text, kTextSplitDone) == 0 || lstrcmpW(text, kTextSplitFailed) == 0;
  }
  const bool split = lstrcmpW(text, kTextSplitDone) == 0;
  if (!split) std::fprintf(stderr, "window_driver: the path line never showed the split result\n");
  PostMessageA(window, WM_CLOSE, 0, 0);
  return split ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool split = argc == 4 && std::strcmp(argv[1], "split") == 0;
  const bool rect = argc == 2 && std::strcmp(argv[1], "rect") == 0;
  const bool close = argc == 2 && std::strcmp(argv[1], "close") == 0;
  if (!split && !rect && !close) {
    std::fprintf(stderr, "usage: window_driver split <size text> <path> | rect | close\n");
    return 2;
  }
  HWND window = WaitForWindow();
  if (!window) {
    std::fprintf(stderr, "window_driver: no window of class %ls\n", kClassName);
    return 1;
  }
  if (split) return Split(window, argv[2], argv[3]);
  if (rect) {
    RECT r;
    GetWindowRect(window, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
  return 0;
}
