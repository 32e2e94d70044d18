// What the user and other programs can do to the window while a split or restore runs: nothing
// that starts or changes a work. The controls through which a work is started or changed are
// disabled and deaf, and the window itself keeps the keyboard focus, so that Esc reaches it.
// And where the focus goes back to, as in a dialog: to the control that last had it, when the
// window is activated again and when a work ends.
#pragma once

#include <windows.h>

// Makes `control` deaf, while a work runs, to what would start or change a work: keys, the
// mouse, pen and touch, clicks and checks sent by other programs, and changes of its text.
// Called once for each control of kWorkControls.
void GuardDuringWork(HWND control);

// Notes `control` as the one that gets the focus back, where it is a control of the window.
void RememberFocus(HWND control);
// Gives the focus back to that control, unless a work holds the input.
void GiveFocusBack();

// As a work starts: remembers the control that has the focus, takes the focus to the window and
// disables those controls.
void HoldInputForWork();
// As it ends: enables them again and gives the focus back, where the window is active.
void ReleaseInputAfterWork();
