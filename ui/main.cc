// filecut: cuts a file into numbered pieces and joins them back.
//
// The program's start, its one window and its message loop, top to bottom: the program-wide
// values, the handlers of the window's messages, the window procedure that dispatches to them,
// the set-up of the class and the window, the loop with its Enter-key shortcut, and WinMain.
#include "ui/main.h"

#include <objbase.h>
#include <windowsx.h>

#include <cstdint>

#include "conv/random.h"
#include "ui/app_state.h"
#include "ui/commands.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/controls.h"
#include "ui/drop.h"
#include "ui/input_guard.h"
#include "ui/progress_view.h"
#include "ui/recovery_menu.h"
#include "ui/taskbar.h"
#include "ui/texts.h"
#include "ui/work.h"

// The program-wide values written here (declared in ui/app_state.h). SharedFont is written by
// ui/controls.cc, which makes it for each DPI.
HWND MainWindow = nullptr;
HBRUSH BackgroundBrush = nullptr;

namespace {

// The latch of the Enter-key shortcut: 1 once Enter has been seen up, 0 from a press of it on;
// a press splits only while it is 1 (CheckEnterKey).
int32_t g_enterLatch = 0;

// A close asked for during a work: the window closes once the work has stopped.
bool g_closeWhenWorkEnds = false;

BOOL OnCreate(HWND window, LPCREATESTRUCT) {
  MainWindow = window;
  ResetEnterLatch();
  // Still hidden here: CreateWindowExW shows a WS_VISIBLE window only after WM_CREATE, so the
  // window has its size for its DPI, and a thicker frame is made up for, before it appears.
  CreateControls(window);
  for (int id : kWorkControls) GuardDuringWork(GetDlgItem(window, id));
  AddRecoveryChoices(window);
  RememberFocus(GetDlgItem(window, ID_SIZE));
  AllowTaskbarMessage(window);
  return TRUE;
}

void OnDestroy(HWND) {
  DisconnectTaskbar();
  ReleaseSharedFont();
  DeleteObject(BackgroundBrush);
  PostQuitMessage(0);
  MainWindow = nullptr;
}

// As a dialog does: the focus goes back to the control that had it (the size field at first)
// when the window is activated, except during a work, when the window keeps it itself.
void OnActivate(HWND, UINT state, HWND, BOOL minimized) {
  if (state == WA_INACTIVE) {
    RememberFocus(GetFocus());
  } else if (!minimized) {
    GiveFocusBack();
  }
}

// A move to a monitor of another DPI, or a change of the scale: the window is laid out again at
// the new DPI, in the rectangle Windows suggests.
void OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
  LayOutAtDpi(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
}

void OnDropFiles(HWND, HDROP drop) {
  // A file dropped during a work is refused: the result of the work stays in the path line.
  if (WorkRunning()) {
    DragFinish(drop);
    return;
  }
  InspectDroppedFile(drop);
}

// The close box, Alt+F4 or another program: during a work, the work stops first, as for Esc.
void OnClose(HWND window) {
  if (WorkRunning()) {
    g_closeWhenWorkEnds = true;
    RequestStop();
    return;
  }
  DestroyWindow(window);
}

// Ending the session would end the work halfway, with a piece or a temporary file half written:
// the answer is no while a work runs.
BOOL OnQueryEndSession(HWND) {
  return !WorkRunning();
}

// The session ends all the same (Windows may end it whatever the answer): the work stops and
// cleans up before this returns, after which the process may end at any moment.
void OnEndSession(HWND, BOOL ending) {
  if (ending && WorkRunning()) ShowWorkResult(StopWorkAndWait());
}

void OnWorkProgress(WPARAM serial, LPARAM percent) {
  if (IsCurrentWork(serial)) ShowWorkProgress(static_cast<unsigned>(percent));
}

void OnWorkDone(HWND window, WPARAM serial) {
  if (!IsCurrentWork(serial)) return;
  ShowWorkResult(EndWork());
  if (!g_closeWhenWorkEnds) return;
  g_closeWhenWorkEnds = false;
  DestroyWindow(window);
}

// The unit label follows the radio buttons; the split command reads the buttons themselves.
void ShowUnit(HWND window, const wchar_t* unit) {
  SetControlText(ID_UNIT_LABEL, unit);
  MoveUnitTabStop(window);
}

void OnCommand(HWND window, int id, HWND, UINT notification) {
  // Nothing starts or changes a work while one runs, whatever sends the command.
  if (notification != BN_CLICKED || WorkRunning()) return;
  switch (id) {
    case ID_UNIT_BYTE:
      ShowUnit(window, kTextByte);
      break;
    case ID_UNIT_KB:
      ShowUnit(window, kTextKB);
      break;
    case ID_UNIT_MB:
      ShowUnit(window, kTextMB);
      break;
    case ID_SPLIT:
      RunSplitCommand();
      break;
    case ID_RESTORE:
      RunRestoreCommand();
      break;
    default:
      break;
  }
}

// The title bar's menu: a choice of recovery pieces, which nothing changes during a work (the
// items are grayed then, and one sent by another program is ignored); anything else as Windows
// does it.
void OnSysCommand(HWND window, UINT command, int x, int y) {
  if (ChooseRecovery(window, command & 0xFFF0, !WorkRunning())) return;
  FORWARD_WM_SYSCOMMAND(window, command, x, y, DefWindowProcW);
}

// Only dispatches: each message has its handler above.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    HANDLE_MSG(window, WM_DESTROY, OnDestroy);
    HANDLE_MSG(window, WM_CREATE, OnCreate);
    HANDLE_MSG(window, WM_DROPFILES, OnDropFiles);
    HANDLE_MSG(window, WM_CLOSE, OnClose);
    HANDLE_MSG(window, WM_COMMAND, OnCommand);
    HANDLE_MSG(window, WM_SYSCOMMAND, OnSysCommand);
    HANDLE_MSG(window, WM_QUERYENDSESSION, OnQueryEndSession);
    HANDLE_MSG(window, WM_ENDSESSION, OnEndSession);
    case WM_ACTIVATE:
      // The default handling first: it gives the focus to the window, which passes it on.
      DefWindowProcW(window, message, wParam, lParam);
      HANDLE_WM_ACTIVATE(window, wParam, lParam, OnActivate);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(window, wParam, lParam);
      return 0;
    case WM_WORK_PROGRESS:
      OnWorkProgress(wParam, lParam);
      return 0;
    case WM_WORK_DONE:
      OnWorkDone(window, wParam);
      return 0;
    default:
      if (message == TaskbarButtonCreatedMessage()) {
        ConnectTaskbar();
        return 0;
      }
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

// Esc, whichever window has the focus (the work keeps it on the main window; without a focus
// Windows sends keys as system keys).
bool IsEscapeKey(const MSG& message) {
  return (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
         message.wParam == VK_ESCAPE;
}

// Enter, which has its own rule (CheckEnterKey) and must not press a button as in a dialog.
bool IsEnterKey(const MSG& message) {
  return (message.message == WM_KEYDOWN || message.message == WM_KEYUP ||
          message.message == WM_CHAR) &&
         (message.wParam == VK_RETURN || message.wParam == L'\n');
}

}  // namespace

void CreateSharedResources() {
  // The font comes with the controls, made for the DPI of the window's monitor.
  BackgroundBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
}

bool RegisterMainWindowClass() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));      // IDI_APPLICATION
  wc.hIconSm = LoadIconW(nullptr, MAKEINTRESOURCEW(32517));    // IDI_WINLOGO
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = BackgroundBrush;
  wc.lpszClassName = kClassName;
  return RegisterClassExW(&wc) != 0;
}

HWND CreateMainWindow() {
  // WS_EX_APPWINDOW gives the tool window a taskbar button, which shows a work's progress.
  return CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_ACCEPTFILES | WS_EX_APPWINDOW, kClassName, kTitle,
                         WS_VISIBLE | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                         kWindowWidth, kWindowHeight, nullptr, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

void ResetEnterLatch() {
  g_enterLatch = 0;
}

// Exact by design (README, "Behaviour kept on purpose"): Enter splits on a press of the key
// that this loop receives itself, a WM_KEYDOWN of VK_RETURN, whichever control has the focus;
// not on a press that a menu's own loop or the input method took (the input method's come as
// VK_PROCESSKEY). Once per press: the latch is armed only once the loop has seen the key up
// after a message, and every press disarms it, fired or not; so neither the key's repeats, nor
// a key already down when the program starts, nor a press during a work (then or later) split.
void CheckEnterKey(const MSG& message) {
  const bool press = message.message == WM_KEYDOWN && message.wParam == VK_RETURN;
  const bool repeat = (message.lParam & (LPARAM{1} << 30)) != 0;  // the key was down before
  const bool fire = press && !repeat && g_enterLatch == 1;
  if (press) {
    g_enterLatch = 0;
  } else if (GetKeyState(VK_RETURN) >= 0) {
    g_enterLatch = 1;
  }
  if (fire) RunSplitCommand();
}

// Tab and Shift+Tab move through the controls, the arrow keys through the units, and Space
// presses the focused button, as in a dialog (IsDialogMessageW), but for Enter and Esc.
void ProcessMessage(const MSG& message) {
  if (WorkRunning() && IsEscapeKey(message)) {
    RequestStop();
  } else if (IsEnterKey(message) || !IsDialogMessageW(MainWindow, const_cast<MSG*>(&message))) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  CheckEnterKey(message);
}

int RunProgram() {
  SetRandomState(1);
  // COM, single-threaded, on the window's thread: for the taskbar's interface and for the
  // objects that screen readers ask the controls for.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  CreateSharedResources();
  int exitCode = 1;
  if (RegisterMainWindowClass() && CreateMainWindow()) {
    OpenFileFromCommandLine(GetCommandLineW());
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) ProcessMessage(message);
    // A quit posted by another program during a work: the work stops and cleans up first.
    if (WorkRunning()) StopWorkAndWait();
    exitCode = 0;
  }
  if (com) CoUninitialize();
  return exitCode;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ExitProcess(static_cast<UINT>(RunProgram()));
}
