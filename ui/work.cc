#include "ui/work.h"

#include <process.h>

#include <atomic>
#include <memory>
#include <new>

#include "core/restore.h"
#include "core/split.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/input_guard.h"
#include "ui/progress_view.h"
#include "ui/shutdown_block.h"
#include "ui/texts.h"

namespace {

// What the work's thread does and what came of it, handed to the thread as its argument. The
// window's thread fills it in before the thread starts and reads the result after the thread
// has ended; in between it is the work's, but for the stop, which the window sets.
struct Work {
  HWND window = nullptr;  // where the work's messages go
  WorkKind kind = WorkKind::kSplit;
  std::string path;
  uint32_t pieceSize = 0;
  WPARAM serial = 0;
  std::atomic<bool> stop{false};
  unsigned postedPercent = 0;  // the last percentage posted
  int result = 0;
  WorkContext context;
};
std::unique_ptr<Work> g_work;
WPARAM g_lastSerial = 0;
HANDLE g_thread = nullptr;

// On the work's thread, from the engines: a changed percentage goes to the window.
void PostProgress(void* caller, uint64_t done, uint64_t total) {
  Work* work = static_cast<Work*>(caller);
  const unsigned percent = WorkPercent(done, total);
  if (percent == work->postedPercent) return;
  work->postedPercent = percent;
  PostMessageW(work->window, WM_WORK_PROGRESS, work->serial, percent);
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
  PostMessageW(work->window, WM_WORK_DONE, work->serial, 0);
  return 0;
}

// What the engines get from the window for `work`: whom they report to and ask whether to stop,
// and the choices of the controls and the menu.
void SetUpContext(Work* work, RecoveryChoice recovery) {
  WorkContext& context = work->context;
  context.report = PostProgress;
  context.stopCheck = StopAsked;
  context.caller = work;
  context.recovery = recovery;
  // The work's thread makes the platform calls in force on the window's thread.
  context.platform = PlatformOpsInForce();
}

}  // namespace

bool WorkRunning() {
  return g_thread != nullptr;
}

bool IsCurrentWork(WPARAM serial) {
  return WorkRunning() && serial == g_work->serial;
}

bool StartWork(HWND window, WorkKind kind, const std::string& path, uint32_t pieceSize,
               RecoveryChoice recovery) {
  if (WorkRunning()) return false;
  g_work.reset(new (std::nothrow) Work);
  if (!g_work) return false;
  g_work->window = window;
  g_work->kind = kind;
  g_work->path = path;
  g_work->pieceSize = pieceSize;
  g_work->serial = ++g_lastSerial;
  SetUpContext(g_work.get(), recovery);
  const uintptr_t thread = _beginthreadex(nullptr, 0, RunWork, g_work.get(), 0, nullptr);
  if (thread == 0) {
    g_work.reset();
    return false;
  }
  g_thread = reinterpret_cast<HANDLE>(thread);
  BeginProgressView();
  HoldInputForWork();
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
  EndProgressView();
}

WorkOutcome EndWork() {
  WaitForSingleObject(g_thread, INFINITE);
  CloseHandle(g_thread);
  g_thread = nullptr;
  EndProgressView();
  BlockShutdown(false);
  ReleaseInputAfterWork();
  const std::unique_ptr<Work> work = std::move(g_work);
  return WorkOutcome{work->kind, work->result, std::move(work->context)};
}

WorkOutcome StopWorkAndWait() {
  RequestStop();
  return EndWork();
}
