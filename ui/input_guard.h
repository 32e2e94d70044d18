// What the user and other programs can do to the window while a split or restore runs: nothing
// that starts or changes a work. The controls through which a work is started or changed are
// disabled and deaf, and the window itself keeps the keyboard focus, so that Esc reaches it.
#pragma once

#include <windows.h>

// Makes `control` deaf, while a work runs, to what would start or change a work: keys, the
// mouse, pen and touch, clicks and checks sent by other programs, and changes of its text.
// Called once for each control of kWorkControls.
void GuardDuringWork(HWND control);

// As a work starts: disables those controls and takes the focus to the window, remembering the
// control that had it.
void HoldInputForWork();
// As it ends: enables them again and gives the focus back.
void ReleaseInputAfterWork();
