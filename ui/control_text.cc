#include "ui/control_text.h"

#include "platform/wide_text_win.h"
#include "ui/app_state.h"

std::wstring WideText(const char* text) {
  std::wstring wide;
  if (!WideFromCodePage932(text, &wide)) wide.clear();
  return wide;
}

void SetControlText(int id, const char* text) {
  SetDlgItemTextW(MainWindow, id, WideText(text).c_str());
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
    const bool pair = wide[at] >= 0xD800 && wide[at] <= 0xDBFF && at + 1 < wide.size();
    const size_t units = pair ? 2 : 1;
    const std::string bytes = CodePage932FromWide(wide.substr(at, units).c_str());
    if (text.size() + bytes.size() > maxBytes) break;
    text += bytes;
    at += units;
  }
  return text;
}
