#include "ui/drop.h"

#include <shellapi.h>

#include <string>

#include "conv/format.h"
#include "platform/platform.h"
#include "platform/wide_text_win.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/controls.h"
#include "ui/texts.h"

namespace {

// The whole size, both halves, so that files of 4 GiB or more show their true size.
// Returns false when the file cannot be opened (a folder, a missing file, a file held without
// sharing) or its size cannot be read.
bool ReadFileSize(const char* path, double* size) {
  const FileHandle file = OpenForRead(path);
  if (file == kNoFile) return false;
  uint64_t bytes = 0;
  const bool known = GetFileSize64(file, &bytes);
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

}  // namespace

void InspectDroppedFile(HDROP drop) {
  const std::wstring name = FirstDroppedName(drop);

  // A name that UTF-8 cannot spell is opened by no other name: it counts as not openable.
  std::string path;
  double size = 0;
  if (Utf8FromWide(name.c_str(), &path) && ReadFileSize(path.c_str(), &size)) {
    ShowInfo(WidenAscii(FormatNumber(size)) + kTextSizeSuffix);
  } else {
    ShowInfo(kTextOpenFailed);
  }
  SetDlgItemTextW(MainWindow, ID_PATH, name.c_str());
  DragFinish(drop);
}
