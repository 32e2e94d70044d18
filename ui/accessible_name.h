// A name for screen readers where the system finds none: the size field has no label before it
// in the window's order, from which screen readers would take it, so it answers the
// accessibility API (WM_GETOBJECT) with its standard object under a name of its own.
#pragma once

#include <windows.h>

// From now on `control`'s accessible object has the name `name`, which must outlive it.
void NameForScreenReaders(HWND control, const wchar_t* name);
