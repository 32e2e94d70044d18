#include "ui/commands.h"

#include <windows.h>

#include "conv/parse.h"
#include "conv/piece_size.h"
#include "core/restore.h"
#include "core/piece_name.h"
#include "core/split.h"
#include "ui/app_state.h"
#include "ui/busy.h"
#include "ui/control_ids.h"
#include "ui/texts.h"

namespace {

bool IsChecked(int id) {
  return SendDlgItemMessageA(MainWindow, id, BM_GETCHECK, 0, 0) == 1;
}

uint32_t ChosenUnitFactor() {
  if (IsChecked(ID_UNIT_KB)) return 1024u;
  if (IsChecked(ID_UNIT_MB)) return 1024u * 1024u;
  return 1u;
}

}  // namespace

void RunSplitCommand() {
  if (WorkRunning()) return;
  char path[260];
  char sizeText[256];
  GetDlgItemTextA(MainWindow, ID_PATH, path, sizeof path);
  GetDlgItemTextA(MainWindow, ID_SIZE, sizeText, sizeof sizeText);

  const int32_t size = PieceSizeFromNumber(ParseNumber(sizeText));
  // Zero before the unit, or a product that wraps to zero, leaves nothing to split by.
  const int32_t pieceSize = size == 0 ? 0 : ApplyUnitFactor(size, ChosenUnitFactor());
  if (pieceSize == 0) {
    SetDlgItemTextA(MainWindow, ID_INFO, kTextAskSize);
    return;
  }
  BeginWork();
  const int ok = SplitFile(path, pieceSize);
  EndWork();
  SetDlgItemTextA(MainWindow, ID_PATH, ok ? kTextSplitDone : kTextSplitFailed);
}

void RunRestoreCommand() {
  if (WorkRunning()) return;
  char path[260];
  GetDlgItemTextA(MainWindow, ID_PATH, path, sizeof path);
  BeginWork();
  const int ok = CutPieceSuffix(path) && RestoreFile(path);
  EndWork();
  if (ok) {
    SetDlgItemTextA(MainWindow, ID_PATH, kTextRestoreDone);
    SetDlgItemTextA(MainWindow, ID_INFO, kTextClearInfo);
  } else {
    SetDlgItemTextA(MainWindow, ID_PATH, kTextRestoreFailed);
  }
}
