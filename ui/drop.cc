#include "ui/drop.h"

#include <shellapi.h>

#include <string>

#include "conv/format.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/texts.h"

namespace {

// The whole size, both halves, so that files of 4 GiB or more show their true size.
// Returns false when the size cannot be read.
bool ReadFileSize(HANDLE file, double* size) {
  DWORD high = 0;
  SetLastError(NO_ERROR);
  const DWORD low = GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  *size = static_cast<double>(high) * 4294967296.0 + static_cast<double>(low);
  return true;
}

}  // namespace

void InspectDroppedFile(HDROP drop) {
  char path[260] = "";
  DragQueryFileA(drop, 0, path, sizeof path);

  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  double size = 0;
  if (file != INVALID_HANDLE_VALUE && ReadFileSize(file, &size)) {
    const std::string text = FormatNumber(size) + kTextSizeSuffix;
    SetDlgItemTextA(MainWindow, ID_INFO, text.c_str());
  } else {
    SetDlgItemTextA(MainWindow, ID_INFO, kTextOpenFailed);
  }
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);

  SetDlgItemTextA(MainWindow, ID_PATH, path);
  DragFinish(drop);
}
