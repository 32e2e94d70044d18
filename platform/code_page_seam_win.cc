// The tests' seam of platform/wide_text_win.cc, linked into the tests and not into the program:
// a Windows without a table for code page 932, which the tests run the program as.
#include <windows.h>

#include "platform/wide_text_win.h"

// platform/wide_text_win.cc's code page, 932 in the program.
extern UINT g_codePage932Number;

void SetCodePage932Number(UINT number) {
  g_codePage932Number = number;
}
