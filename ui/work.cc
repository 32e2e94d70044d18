#include "ui/work.h"

#include <process.h>

#include <atomic>

#include "core/progress.h"
#include "core/restore.h"
#include "core/split.h"
#include "platform/platform.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/controls.h"
#include "ui/later_windows.h"
#include "ui/taskbar.h"
#include "ui/texts.h"

namespace {

// What the work's thread does and what came of it. The window's thread fills it in before the
// thread starts and reads the result after the thread has ended; in between it is the work's.
struct Work {
  WorkKind kind;
  std::string path;
  int32_t pieceSize;
  WPARAM serial;
  int result;
  Failure failure;
};
Work g_work;
HANDLE g_thread = nullptr;
std::atomic<bool> g_stop{false};
unsigned g_postedPercent = 0;  // on the work's thread: the last percentage posted

// On the window's thread: the information line's text before the first percentage, and the
// control that had the focus before the work.
bool g_progressShown = false;
std::wstring g_savedInfo;
HWND g_focusBefore = nullptr;

unsigned Percent(uint64_t done, uint64_t total) {
  if (done >= total) return 100;
  // done * 100 fits below 2^64 for every size a disk holds; past that, a coarser division.
  const uint64_t percent = done <= UINT64_MAX / 100 ? done * 100 / total : done / (total / 100);
  return percent < 100 ? static_cast<unsigned>(percent) : 100;
}

// "0%" to "100%".
std::wstring PercentText(unsigned percent) {
  char text[8];
  FormatText(text, sizeof text, "%u%%", percent);
  return WidenAscii(text);
}

// On the work's thread, from the engines: a changed percentage goes to the window.
void PostProgress(uint64_t done, uint64_t total) {
  const unsigned percent = Percent(done, total);
  if (percent == g_postedPercent) return;
  g_postedPercent = percent;
  PostMessageW(MainWindow, WM_WORK_PROGRESS, g_work.serial, percent);
}

bool StopAsked() {
  return g_stop.load();
}

unsigned __stdcall RunWork(void*) {
  g_work.result = g_work.kind == WorkKind::kSplit ? SplitFile(g_work.path.c_str(), g_work.pieceSize)
                                                  : RestoreFile(g_work.path.c_str());
  g_work.failure = LastFailure();
  PostMessageW(MainWindow, WM_WORK_DONE, g_work.serial, 0);
  return 0;
}

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
  if (WorkRunning() && ChangesControl(message)) return 0;
  return CallWindowProcW(own, control, message, wParam, lParam);
}

// Enables or disables the controls through which a work is started or changed.
void EnableInput(bool enable) {
  for (int id : kWorkControls) EnableWindow(GetDlgItem(MainWindow, id), enable);
}

// Vista and later show this reason when the session is to end while a work runs; Windows XP
// has neither function and shows nothing.
typedef BOOL(WINAPI* ShutdownBlockReasonCreateFn)(HWND, LPCWSTR);
typedef BOOL(WINAPI* ShutdownBlockReasonDestroyFn)(HWND);

void BlockShutdown(bool block) {
  if (block) {
    if (auto create = LaterFunction<ShutdownBlockReasonCreateFn>(L"user32.dll",
                                                                 "ShutdownBlockReasonCreate")) {
      create(MainWindow, kTextWorkBlocksShutdown);
    }
  } else if (auto destroy = LaterFunction<ShutdownBlockReasonDestroyFn>(
                 L"user32.dll", "ShutdownBlockReasonDestroy")) {
    destroy(MainWindow);
  }
}

}  // namespace

void GuardDuringWork(HWND control) {
  // The control's own procedure is kept in its user data, which nothing else uses.
  SetWindowLongPtrW(control, GWLP_USERDATA, GetWindowLongPtrW(control, GWLP_WNDPROC));
  SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GuardedControlProc));
}

bool WorkRunning() {
  return g_thread != nullptr;
}

bool IsCurrentWork(WPARAM serial) {
  return WorkRunning() && serial == g_work.serial;
}

bool StartWork(WorkKind kind, const std::string& path, int32_t pieceSize) {
  if (WorkRunning()) return false;
  g_work = Work{kind, path, pieceSize, g_work.serial + 1, 0, Failure()};
  g_stop = false;
  g_postedPercent = 0;
  g_progressShown = false;
  SetProgressReport(PostProgress);
  SetStopCheck(StopAsked);
  const uintptr_t thread = _beginthreadex(nullptr, 0, RunWork, nullptr, 0, nullptr);
  if (thread == 0) {
    SetProgressReport(nullptr);
    SetStopCheck(nullptr);
    return false;
  }
  g_thread = reinterpret_cast<HANDLE>(thread);
  // The window keeps the focus, so that Esc reaches it whichever control had it.
  g_focusBefore = GetFocus();
  SetFocus(MainWindow);
  EnableInput(false);
  BlockShutdown(true);
  return true;
}

void RequestStop() {
  g_stop = true;
}

void ShowWorkProgress(unsigned percent) {
  if (!g_progressShown) g_savedInfo = ControlWideText(ID_INFO);
  g_progressShown = true;
  ShowInfo(PercentText(percent));
  ShowTaskbarProgress(MainWindow, percent);
}

WorkOutcome EndWork() {
  WaitForSingleObject(g_thread, INFINITE);
  CloseHandle(g_thread);
  g_thread = nullptr;
  SetProgressReport(nullptr);
  SetStopCheck(nullptr);
  if (g_progressShown) ShowInfo(g_savedInfo);
  ClearTaskbarProgress(MainWindow);
  BlockShutdown(false);
  EnableInput(true);
  if (g_focusBefore && IsChild(MainWindow, g_focusBefore)) SetFocus(g_focusBefore);
  return WorkOutcome{g_work.kind, g_work.result, g_work.failure};
}

WorkOutcome StopWorkAndWait() {
  RequestStop();
  return EndWork();
}
