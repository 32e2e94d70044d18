#include "ui/control_text.h"

#include "platform/wide_text_win.h"
#include "ui/app_state.h"

void SetControlText(int id, const wchar_t* text) {
  SetDlgItemTextW(MainWindow, id, text);
}

std::wstring ControlWideText(int id) {
  const int length = GetWindowTextLengthW(GetDlgItem(MainWindow, id));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const UINT copied = GetDlgItemTextW(MainWindow, id, text.data(), length + 1);
  text.resize(copied);
  return text;
}

bool ControlPathText(int id, std::string* path) {
  return Utf8FromWide(ControlWideText(id).c_str(), path);
}

std::string ControlCodePage932Text(int id, size_t maxBytes) {
  const std::wstring wide = ControlWideText(id);
  std::string text;
  // Character by character (a surrogate pair stays whole), so that the cut falls between two.
  for (size_t at = 0; at < wide.size();) {
    const size_t units = IsHighSurrogate(wide[at]) && at + 1 < wide.size() ? 2 : 1;
    std::string bytes = CodePage932FromWide(wide.substr(at, units).c_str());
    if (bytes.empty()) bytes = wide[at] < 0x80 ? std::string(1, static_cast<char>(wide[at])) : "?";
    if (text.size() + bytes.size() > maxBytes) break;
    text += bytes;
    at += units;
  }
  return text;
}

std::wstring WidenAscii(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}
