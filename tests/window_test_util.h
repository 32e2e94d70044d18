// Helpers for driving the real main window in the test process, through real messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/temp_dir.h"
#include "ui/control_text.h"

// A control's text, compared as the tests write theirs: narrow (in the system's code page, as
// the tests write paths) or wide (the program's own texts).
struct ShownText {
  std::wstring wide;
  bool operator==(const std::wstring& text) const { return wide == text; }
  bool operator==(const std::string& narrow) const;
};
void PrintTo(const ShownText& shown, std::ostream* out);

// Creates the font, brush, class and main window as start-up does, in a fresh current
// directory, and destroys the window and unregisters the class afterwards.
class MainWindowTest : public TempDirTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND Control(int id) const;
  ShownText Text(int id) const;
  void SetText(int id, const std::string& text) const;
  void Click(int id) const;
  // Builds an HDROP as the shell does (a DROPFILES header, then the NUL-separated paths and
  // a closing NUL) and sends it as WM_DROPFILES.
  // Narrow paths are in the system's code page, as the tests write them.
  void Drop(const std::vector<std::string>& paths) const;
  void Drop(const std::vector<std::wstring>& paths) const;
  // The absolute Windows path of a name in the current directory.
  std::string FullPath(const std::string& name) const;
  // A split as the user sets it up: drops `path` (or takes the file in the path line), types
  // `size` into the size field, clicks `unit` and split, and waits for the work's end.
  void SplitBy(const std::string& path, const std::string& size, int unit) const;
  void SplitBy(const std::string& size, int unit) const;
  // A restore so: drops `path` (a piece or a checksum list), clicks restore and waits.
  void RestoreFrom(const std::string& path) const;
};

// What the information line says after a failure with the system error `error`, concerning the
// piece `piece` (a file name) if one is given.
std::wstring ReasonFor(unsigned error, const std::string& piece = std::string());

// Processes every queued message as the program's loop does, Enter-key check included, until
// no split or restore runs any more.
void PumpMessages();
// Posts `count` empty messages to the main window and processes each one.
void PumpEmptyMessages(int count);
// Presses or releases Enter as real keyboard input, and processes what it queued.
void PressEnter();
void ReleaseEnter();
// Types one key (with Shift held, if asked) as real keyboard input, and processes what it queued.
void TypeKey(WORD key, bool shift = false);
// The pieces "<base>-NN" in the current directory, in index order, as (name, bytes).
std::vector<std::pair<std::string, std::string>> PiecesOnDisk();
