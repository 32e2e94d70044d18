// A split or restore at work on a thread of its own, while the window's thread goes on reading
// its messages: the window repaints, moves and answers, and the work can be stopped.
// One work at a time. The engines run on the work's thread and only report to it; the work
// posts what they report to the window it was started for, and everything the window shows is
// done on the window's thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/work_context.h"

// Posted by the work to its window. wParam: the work's serial number (IsCurrentWork);
// lParam: the percentage done, for WM_WORK_PROGRESS.
constexpr UINT WM_WORK_PROGRESS = WM_APP + 1;
constexpr UINT WM_WORK_DONE = WM_APP + 2;

enum class WorkKind { kSplit, kRestore };

// How a work ended: the engine's result (1 or 0) and what it gave back in its context (why it
// failed, the original name, what a failed split left behind).
struct WorkOutcome {
  WorkKind kind;
  int result;
  WorkContext context;
};

// Whether a work runs, from its start until EndWork.
bool WorkRunning();
// Whether a message's serial number is that of the running work, not of one that has ended.
bool IsCurrentWork(WPARAM serial);

// Starts splitting `path` into pieces of `pieceSize` bytes, or restoring from the base text
// `path`, on the work's thread, which posts its progress and its end to `window`. Until it ends,
// the controls that start or change a work are disabled and deaf and the window keeps the keyboard
// focus itself (ui/input_guard.h), its progress shows (ui/progress_view.h), and Windows is asked
// not to end the session (ui/shutdown_block.h). Returns false, with nothing started, when no thread
// can be had.
bool StartWork(HWND window, WorkKind kind, const std::string& path, uint32_t pieceSize,
               RecoveryChoice recovery = RecoveryChoice::kNone);
// Asks the running work to stop. It stops within one buffer's time, undoing what it made; the
// path line says so at once (kTextStopping), and the information line shows its text from
// before the work again.
void RequestStop();
// After WM_WORK_DONE: waits for the work's thread to end and puts the window back as it was
// before the work (the information line's text, the controls, the focus). Returns how it ended.
WorkOutcome EndWork();
// For a session that ends now: asks the work to stop and returns, as EndWork, once it has
// ended and cleaned up.
WorkOutcome StopWorkAndWait();
