// filecut: cuts a file into numbered pieces and joins them back.
#include <windows.h>

#include "ui/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ExitProcess(static_cast<UINT>(RunProgram()));
}
