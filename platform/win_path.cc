#include "platform/win_path.h"

#include <windows.h>

#include <algorithm>

#include "platform/ascii.h"

namespace {

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The process's current folder, or, for a drive ("X:"), that drive's current folder.
bool CurrentFolder(const std::wstring& drive, std::wstring* folder) {
  const wchar_t* of = drive.empty() ? L"." : drive.c_str();
  const DWORD units = GetFullPathNameW(of, 0, nullptr, nullptr);
  if (units == 0) return false;
  folder->assign(units, L'\0');
  const DWORD length = GetFullPathNameW(of, units, folder->data(), nullptr);
  if (length == 0 || length >= units) return false;
  folder->resize(length);
  return true;
}

// Where the root of an absolute path ("X:" or "\\server\share") ends, or 0 when it has none.
size_t RootLength(const std::wstring& text) {
  if (StartsWithDrive(text)) return 2;
  if (!StartsWith(text, L"\\\\")) return 0;
  const size_t server = text.find(L'\\', 2);
  if (server == std::wstring::npos || server == 2) return 0;
  const size_t share = text.find(L'\\', server + 1);
  const size_t end = share == std::wstring::npos ? text.size() : share;
  return end > server + 1 ? end : 0;
}

// Makes `text` absolute as the current folder or drive would, without changing any name.
bool Absolute(std::wstring text, std::wstring* absolute) {
  if (StartsWithDrive(text) && (text.size() == 2 || text[2] != L'\\')) {
    std::wstring folder;
    if (!CurrentFolder(text.substr(0, 2), &folder)) return false;
    text = folder + L"\\" + text.substr(2);
  } else if (!StartsWith(text, L"\\\\") && !StartsWithDrive(text)) {
    std::wstring folder;
    if (!CurrentFolder(std::wstring(), &folder)) return false;
    // From the root: the current folder's root, "X:" or "\\server\share".
    text = text[0] == L'\\' ? folder.substr(0, RootLength(folder)) + text : folder + L"\\" + text;
  }
  *absolute = text;
  return true;
}

}  // namespace

bool ExactFullPath(const std::wstring& path, std::wstring* full) {
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  if (StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\")) {
    *full = path;
    return true;
  }
  std::wstring text = path;
  for (wchar_t& c : text) {
    if (c == L'/') c = L'\\';
  }
  if (!Absolute(text, &text)) return false;
  const size_t root = RootLength(text);
  if (root == 0) {
    SetLastError(ERROR_BAD_PATHNAME);
    return false;
  }
  // The names after the root, each behind a backslash, with "." and ".." taken out as Windows
  // takes them out.
  *full = text.substr(0, root);
  for (size_t at = root; at < text.size();) {
    const size_t end = std::min(text.find(L'\\', at), text.size());
    const std::wstring name = text.substr(at, end - at);
    if (name == L"..") {
      // Back to the name before, never into the root ("\\server\share" holds backslashes).
      const size_t last = full->rfind(L'\\');
      full->resize(last == std::wstring::npos || last < root ? root : last);
    } else if (!name.empty() && name != L".") {
      *full += L"\\" + name;
    }
    at = end + 1;
  }
  if (full->size() == root) *full += L"\\";
  return true;
}

std::wstring LongForm(const std::wstring& full) {
  if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) return full;
  if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}
