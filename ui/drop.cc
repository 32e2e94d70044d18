#include "ui/drop.h"

#include <shellapi.h>

#include <string>

#include "conv/format.h"
#include "platform/platform.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
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

}  // namespace

void InspectDroppedFile(HDROP drop) {
  char path[260] = "";
  DragQueryFileA(drop, 0, path, sizeof path);

  double size = 0;
  if (ReadFileSize(path, &size)) {
    const std::string text = FormatNumber(size) + kTextSizeSuffix;
    SetDlgItemTextA(MainWindow, ID_INFO, text.c_str());
  } else {
    SetDlgItemTextA(MainWindow, ID_INFO, kTextOpenFailed);
  }

  SetDlgItemTextA(MainWindow, ID_PATH, path);
  DragFinish(drop);
}
