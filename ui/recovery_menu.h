// The choice of recovery pieces (core/recovery_make.h), in the window's system menu: the menu of
// the title bar and of Alt+Space, where a small tool without a menu bar keeps its options. Five
// radio items after a separator; "none" at start. The menu is the choice's only keeper, as the
// controls keep the rest of the program's state: nothing is saved.
#pragma once

#include <windows.h>

#include "core/work_context.h"

// Adds the separator and the five items to the system menu of `window`, "none" checked.
void AddRecoveryChoices(HWND window);
// For WM_SYSCOMMAND: when `command` is one of the items, checks it where `allowed` (no work
// runs) and returns true.
bool ChooseRecovery(HWND window, UINT command, bool allowed);
// Grays the items while a work runs, and enables them again.
void EnableRecoveryChoices(HWND window, bool enable);
// The item checked now.
RecoveryChoice ChosenRecovery(HWND window);
