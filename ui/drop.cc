#include "ui/drop.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "conv/format.h"
#include "platform/platform.h"
#include "platform/wide_text_win.h"
#include "platform/win_path.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/controls.h"
#include "ui/texts.h"

namespace {

// The file's whole size, both halves, so that files of 4 GiB or more show their true size, as
// the file itself answers when opened. Returns false when it cannot be opened (a folder, a
// missing file, a file held without sharing) or cannot tell its size.
bool QuerySizeOf(const char* path, double* size) {
  const FileHandle file = OpenForRead(path);
  if (file == kNoFile) return false;
  uint64_t bytes = 0;
  const bool known = QueryFileSize(file, &bytes);
  CloseFile(file);
  // Two exact 32-bit halves: every size below 2^53 bytes converts without rounding.
  *size = static_cast<double>(static_cast<uint32_t>(bytes >> 32)) * 4294967296.0 +
          static_cast<double>(static_cast<uint32_t>(bytes));
  return known;
}

// The first dropped file's name, whole and exactly as the shell gives it, however long.
std::wstring FirstDroppedName(HDROP drop) {
  const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  std::wstring name(static_cast<size_t>(length) + 1, L'\0');
  name.resize(DragQueryFileW(drop, 0, name.data(), length + 1));
  return name;
}

// Whether `path` names a file or folder that exists, by its exact name.
bool Exists(const std::wstring& path) {
  std::string utf8;
  uint64_t size = 0;
  return Utf8FromWide(path.c_str(), &utf8) && LookUpName(utf8.c_str(), &size) == NameLookup::kFound;
}

// Whether every blank-separated word of `text` names a file or folder that exists: several
// files passed at once, unquoted.
bool EveryWordExists(const std::wstring& text) {
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find_first_of(L" \t", at), text.size());
    if (end > at && !Exists(text.substr(at, end - at))) return false;
    at = end + 1;
  }
  return true;
}

// The program's argument: what follows its own name on the command line, without the blanks
// around it. A quoted argument is the text inside the quotes. An unquoted one is its first word
// only where every word names an existing file (the first of several files, as a drop of several
// takes the first); otherwise it is the whole rest, a path with spaces that nobody quoted, shown
// as not found where it names no file. So a missing "C:\data\sub dir\x.bin" never shows as
// an existing "C:\data\sub".
std::wstring ArgumentOf(const std::wstring& commandLine) {
  size_t at = 0;
  if (commandLine.rfind(L'"', 0) == 0) {
    at = commandLine.find(L'"', 1);
    at = at == std::wstring::npos ? commandLine.size() : at + 1;
  } else {
    at = std::min(commandLine.find_first_of(L" \t"), commandLine.size());
  }
  const size_t first = commandLine.find_first_not_of(L" \t", at);
  if (first == std::wstring::npos) return std::wstring();
  const std::wstring rest =
      commandLine.substr(first, commandLine.find_last_not_of(L" \t") + 1 - first);
  if (rest[0] == L'"') return rest.substr(1, rest.find(L'"', 1) - 1);
  if (Exists(rest) || !EveryWordExists(rest)) return rest;
  return rest.substr(0, rest.find_first_of(L" \t"));
}

// Shows the size of the file `name` in the information line and the name in the path line.
void ShowFile(const std::wstring& name) {
  // A name that UTF-8 cannot spell is opened by no other name: it counts as not openable.
  std::string path;
  double size = 0;
  if (Utf8FromWide(name.c_str(), &path) && QuerySizeOf(path.c_str(), &size)) {
    ShowInfo(WidenAscii(FormatNumber(size)) + kTextSizeSuffix);
  } else {
    ShowInfo(kTextOpenFailed);
  }
  SetDlgItemTextW(MainWindow, ID_PATH, name.c_str());
}

}  // namespace

void InspectDroppedFile(HDROP drop) {
  ShowFile(FirstDroppedName(drop));
  DragFinish(drop);
}

void OpenFileFromCommandLine(const wchar_t* commandLine) {
  const std::wstring argument = ArgumentOf(commandLine);
  if (argument.empty()) return;
  // A relative name shows as its full path, as the shell gives a dropped one.
  std::wstring full;
  ShowFile(ExactFullPath(argument, &full) ? full : argument);
}
