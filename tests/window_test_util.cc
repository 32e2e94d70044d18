#include "tests/window_test_util.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <regex>

#include "conv/random.h"
#include "platform/platform.h"
#include "platform/wide_text_win.h"
#include "tests/win_test_util.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/main.h"
#include "ui/texts.h"
#include "ui/work.h"

namespace fs = std::filesystem;

void MainWindowTest::SetUp() {
  TempDirTest::SetUp();
  // As start-up does, for the taskbar and the screen readers' objects.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  SetRandomState(1);
  CreateSharedResources();
  ASSERT_TRUE(RegisterMainWindowClass());
  ASSERT_NE(CreateMainWindow(), nullptr);
  ASSERT_NE(MainWindow, nullptr);
  SetForegroundWindow(MainWindow);
  PumpMessages();
}

void MainWindowTest::TearDown() {
  if (IsWindow(MainWindow)) DestroyWindow(MainWindow);
  // Drop the quit message that WM_DESTROY posts, and anything else left over.
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  // The class holds this test's brush, which WM_DESTROY deleted: the next test registers anew.
  UnregisterClassW(kClassName, GetModuleHandleW(nullptr));
  CoUninitialize();
  TempDirTest::TearDown();
}

HWND MainWindowTest::Control(int id) const {
  return GetDlgItem(MainWindow, id);
}

bool ShownText::operator==(const std::string& narrow) const {
  std::wstring text(narrow.size(), L'\0');
  text.resize(MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()),
                                  text.data(), static_cast<int>(narrow.size())));
  return wide == text;
}
void PrintTo(const ShownText& shown, std::ostream* out) {
  *out << ::testing::PrintToString(shown.wide);
}

ShownText MainWindowTest::Text(int id) const {
  return ShownText{ControlWideText(id)};
}

void MainWindowTest::SetText(int id, const std::string& text) const {
  SetDlgItemTextA(MainWindow, id, text.c_str());
}

void MainWindowTest::Click(int id) const {
  SendMessageA(Control(id), BM_CLICK, 0, 0);
  PumpMessages();
}

void MainWindowTest::Drop(const std::vector<std::string>& paths) const {
  std::vector<std::wstring> wide;
  for (const std::string& path : paths) {
    wide.emplace_back(path.size(), L'\0');
    wide.back().resize(MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()),
                                           wide.back().data(), static_cast<int>(path.size())));
  }
  Drop(wide);
}

void MainWindowTest::Drop(const std::vector<std::wstring>& paths) const {
  size_t listUnits = 1;
  for (const std::wstring& path : paths) listUnits += path.size() + 1;
  HGLOBAL memory =
      GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + listUnits * sizeof(wchar_t));
  ASSERT_NE(memory, nullptr);
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->pt.x = 10;
  header->pt.y = 10;
  header->fNC = FALSE;
  header->fWide = TRUE;
  wchar_t* list = reinterpret_cast<wchar_t*>(header + 1);
  for (const std::wstring& path : paths) {
    std::memcpy(list, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    list += path.size() + 1;
  }
  *list = 0;
  GlobalUnlock(memory);
  // The handler releases the drop with DragFinish, as it must for the shell.
  SendMessageW(MainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

std::string MainWindowTest::FullPath(const std::string& name) const {
  return (fs::current_path() / name).string();
}

void MainWindowTest::SplitBy(const std::string& path, const std::string& size, int unit) const {
  Drop({path});
  SplitBy(size, unit);
}

void MainWindowTest::SplitBy(const std::string& size, int unit) const {
  SetText(ID_SIZE, size);
  Click(unit);
  Click(ID_SPLIT);
}

void MainWindowTest::RestoreFrom(const std::string& path) const {
  Drop({path});
  Click(ID_RESTORE);
}

std::wstring ReasonFor(unsigned error, const std::string& piece) {
  std::wstring reason;
  EXPECT_TRUE(
      WideFromUtf8(((piece.empty() ? "" : piece + ": ") + ErrorText(error)).c_str(), &reason));
  return reason;
}

void PumpMessages() {
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return;
      ProcessMessage(message);
    }
    // A split or restore runs on a thread of its own: its end comes as a message.
    if (!WorkRunning()) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}

void PumpEmptyMessages(int count) {
  for (int i = 0; i < count; ++i) {
    PostMessageA(MainWindow, WM_NULL, 0, 0);
    PumpMessages();
  }
}

namespace {
void SendKeyAndWait(WORD key, bool up) {
  SendKey(key, up);
  // The input reaches the queue asynchronously; give it up to two seconds on a busy machine.
  for (int i = 0; i < 200; ++i) {
    Sleep(10);
    PumpMessages();
    if ((GetKeyState(key) < 0) != up) break;
  }
}
}  // namespace

void TypeKey(WORD key, bool shift) {
  if (shift) SendKeyAndWait(VK_SHIFT, false);
  SendKeyAndWait(key, false);
  SendKeyAndWait(key, true);
  if (shift) SendKeyAndWait(VK_SHIFT, true);
}

void PressEnter() {
  SendKeyAndWait(VK_RETURN, false);
}
void ReleaseEnter() {
  SendKeyAndWait(VK_RETURN, true);
}

std::vector<std::pair<std::string, std::string>> PiecesOnDisk() {
  static const std::regex pieceName("([0-9]+)-([0-9]{2,})");
  std::vector<std::pair<int, std::string>> found;
  for (const auto& entry : fs::directory_iterator(fs::current_path())) {
    const std::string name = entry.path().filename().string();
    std::smatch match;
    if (std::regex_match(name, match, pieceName)) found.push_back({std::stoi(match[2]), name});
  }
  std::sort(found.begin(), found.end());
  std::vector<std::pair<std::string, std::string>> pieces;
  for (const auto& [index, name] : found) pieces.push_back({name, ReadFileBytes(name)});
  return pieces;
}
