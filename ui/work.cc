#include "ui/work.h"

#include <process.h>

#include <atomic>
#include <memory>
#include <new>

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

// What the work's thread does and what came of it, handed to the thread as its argument. The
// window's thread fills it in before the thread starts and reads the result after the thread
// has ended; in between it is the work's, but for the stop, which the window sets.
struct Work {
  WorkKind kind;
  std::string path;
  int32_t pieceSize;
  WPARAM serial;
  std::atomic<bool> stop;
  unsigned postedPercent;  // the last percentage posted
  int result;
  WorkContext context;
};
std::unique_ptr<Work> g_work;
WPARAM g_lastSerial = 0;
HANDLE g_thread = nullptr;

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
void PostProgress(void* caller, uint64_t done, uint64_t total) {
  Work* work = static_cast<Work*>(caller);
  const unsigned percent = Percent(done, total);
  if (percent == work->postedPercent) return;
  work->postedPercent = percent;
  PostMessageW(MainWindow, WM_WORK_PROGRESS, work->serial, percent);
}

bool StopAsked(void* caller) {
  return static_cast<Work*>(caller)->stop.load();
}

unsigned __stdcall RunWork(void* argument) {
  Work* work = static_cast<Work*>(argument);
  WorkContext* context = &work->context;
  work->result = work->kind == WorkKind::kSplit
                     ? SplitFile(work->path.c_str(), work->pieceSize, context)
                     : RestoreFile(work->path.c_str(), context);
  PostMessageW(MainWindow, WM_WORK_DONE, work->serial, 0);
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
  return WorkRunning() && serial == g_work->serial;
}

bool StartWork(WorkKind kind, const std::string& path, int32_t pieceSize) {
  if (WorkRunning()) return false;
  g_work.reset(new (std::nothrow) Work{kind, path, pieceSize, ++g_lastSerial, {false}, 0, 0, {}});
  if (!g_work) return false;
  g_work->context.report = PostProgress;
  g_work->context.stopCheck = StopAsked;
  g_work->context.caller = g_work.get();
  g_progressShown = false;
  const uintptr_t thread = _beginthreadex(nullptr, 0, RunWork, g_work.get(), 0, nullptr);
  if (thread == 0) {
    g_work.reset();
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
  if (!WorkRunning() || g_work->stop) return;
  g_work->stop = true;
  // Shown at once, while the work undoes what it made: removing many pieces, or a piece that
  // another program holds, takes a while. The percentage goes; the information line shows its
  // text from before the work until the work has ended.
  SetControlText(ID_PATH, kTextStopping);
  if (g_progressShown) ShowInfo(g_savedInfo);
  ClearTaskbarProgress(MainWindow);
}

bool StopAskedOfWork() {
  // The work is set before its thread starts and goes only after it has ended, so the work's
  // own thread may ask this too.
  return g_work && g_work->stop.load();
}

void ShowWorkProgress(unsigned percent) {
  if (g_work->stop) return;  // stopping: no more percentages
  if (!g_progressShown) g_savedInfo = ControlWideText(ID_INFO);
  g_progressShown = true;
  ShowInfo(PercentText(percent));
  ShowTaskbarProgress(MainWindow, percent);
}

WorkOutcome EndWork() {
  WaitForSingleObject(g_thread, INFINITE);
  CloseHandle(g_thread);
  g_thread = nullptr;
  if (g_progressShown) ShowInfo(g_savedInfo);
  ClearTaskbarProgress(MainWindow);
  BlockShutdown(false);
  EnableInput(true);
  if (g_focusBefore && IsChild(MainWindow, g_focusBefore)) SetFocus(g_focusBefore);
  const std::unique_ptr<Work> work = std::move(g_work);
  return WorkOutcome{work->kind, work->result, std::move(work->context)};
}

WorkOutcome StopWorkAndWait() {
  RequestStop();
  return EndWork();
}
