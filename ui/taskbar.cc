#include "ui/taskbar.h"

#include <shobjidl.h>

#include "ui/later_windows.h"

namespace {

// Spelt out: MinGW's import libraries declare these names, but not with their values.
const CLSID kClsidTaskbarList = {
    0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
const IID kIidTaskbarList3 = {
    0xEA1AFB91, 0x9E28, 0x4B86, {0x90, 0xE9, 0x9E, 0x9F, 0x8A, 0x5E, 0xEF, 0xAF}};

ITaskbarList3* g_taskbar = nullptr;

}  // namespace

UINT TaskbarButtonCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarButtonCreated");
  return message;
}

void AllowTaskbarMessage(HWND window) {
  // Windows 7 and later; a program started as administrator would not hear from the shell
  // otherwise. Not there before Windows 7, where there is no taskbar progress either.
  typedef BOOL(WINAPI * AllowFn)(HWND, UINT, DWORD, void*);
  if (auto allow = LaterFunction<AllowFn>(L"user32.dll", "ChangeWindowMessageFilterEx")) {
    allow(window, TaskbarButtonCreatedMessage(), 1 /* MSGFLT_ALLOW */, nullptr);
  }
}

void ConnectTaskbar() {
  if (g_taskbar) return;
  void* taskbar = nullptr;
  if (SUCCEEDED(CoCreateInstance(kClsidTaskbarList, nullptr, CLSCTX_INPROC_SERVER, kIidTaskbarList3,
                                 &taskbar))) {
    g_taskbar = static_cast<ITaskbarList3*>(taskbar);
  }
}

void ShowTaskbarProgress(HWND window, unsigned percent) {
  if (!g_taskbar) return;
  g_taskbar->SetProgressState(window, TBPF_NORMAL);
  g_taskbar->SetProgressValue(window, percent, 100);
}

void ClearTaskbarProgress(HWND window) {
  if (g_taskbar) g_taskbar->SetProgressState(window, TBPF_NOPROGRESS);
}

void DisconnectTaskbar() {
  if (g_taskbar) g_taskbar->Release();
  g_taskbar = nullptr;
}
