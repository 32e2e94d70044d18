#include "ui/commands.h"

#include <windows.h>

#include <string>

#include "conv/parse.h"
#include "conv/piece_size.h"
#include "core/piece_name.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/texts.h"

namespace {

bool IsChecked(int id) {
  return SendDlgItemMessageW(MainWindow, id, BM_GETCHECK, 0, 0) == 1;
}

// The size field's text is read as at most 255 bytes of code page 932.
constexpr size_t kSizeTextBytes = 255;

uint32_t ChosenUnitFactor() {
  if (IsChecked(ID_UNIT_KB)) return 1024u;
  if (IsChecked(ID_UNIT_MB)) return 1024u * 1024u;
  return 1u;
}

}  // namespace

void RunSplitCommand() {
  if (WorkRunning()) return;
  // The size text reaches the parser as the same code page 932 bytes as on a Japanese Windows;
  // the path as exact UTF-8.
  const std::string sizeText = ControlCodePage932Text(ID_SIZE, kSizeTextBytes);
  const int32_t size = PieceSizeFromNumber(ParseNumber(sizeText.c_str()));
  // Zero before the unit, or a product that wraps to zero, leaves nothing to split by.
  const int32_t pieceSize = size == 0 ? 0 : ApplyUnitFactor(size, ChosenUnitFactor());
  if (pieceSize == 0) {
    SetControlText(ID_INFO, kTextAskSize);
    return;
  }
  std::string path;
  if (!ControlPathText(ID_PATH, &path) || !StartWork(WorkKind::kSplit, path, pieceSize)) {
    SetControlText(ID_PATH, kTextSplitFailed);
  }
}

void RunRestoreCommand() {
  if (WorkRunning()) return;
  std::string path;
  if (!ControlPathText(ID_PATH, &path) || !CutPieceSuffix(path.data()) ||
      !StartWork(WorkKind::kRestore, path.c_str(), 0)) {
    SetControlText(ID_PATH, kTextRestoreFailed);
  }
}

void ShowWorkResult(const WorkOutcome& outcome) {
  if (outcome.result == 0 && outcome.failure.kind == FailureKind::kStopped) {
    SetControlText(ID_PATH, kTextStopped);
  } else if (outcome.kind == WorkKind::kSplit) {
    SetControlText(ID_PATH, outcome.result ? kTextSplitDone : kTextSplitFailed);
  } else if (outcome.result) {
    SetControlText(ID_PATH, kTextRestoreDone);
    SetControlText(ID_INFO, kTextClearInfo);
  } else {
    SetControlText(ID_PATH, kTextRestoreFailed);
  }
}
