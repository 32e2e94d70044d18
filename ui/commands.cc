#include "ui/commands.h"

#include <windows.h>

#include <string>

#include "conv/parse.h"
#include "conv/piece_size.h"
#include "core/piece_name.h"
#include "platform/platform.h"
#include "platform/wide_text_win.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/controls.h"
#include "ui/texts.h"

namespace {

bool IsChecked(int id) {
  return SendDlgItemMessageW(MainWindow, id, BM_GETCHECK, 0, 0) == 1;
}

// The size field's text is read as at most 255 bytes of code page 932.
constexpr size_t kSizeTextBytes = 255;

// The last name of a path: the piece's file name without its folder.
std::wstring FileNameOf(const std::string& path) {
  std::wstring wide;
  if (!WideFromUtf8(path.c_str(), &wide)) return std::wstring();
  const size_t slash = wide.find_last_of(L"\\/");
  return slash == std::wstring::npos ? wide : wide.substr(slash + 1);
}

std::wstring SystemMessage(uint32_t error) {
  std::wstring message;
  if (WideFromUtf8(ErrorText(error).c_str(), &message) && !message.empty()) return message;
  char number[12];
  FormatText(number, sizeof number, "%lu", static_cast<unsigned long>(error));
  return kReasonUnknownError + WidenAscii(number);
}

// The words for why a work failed: the system's message for the error that ended it, in the
// user's language where the system has one, after the file name of the piece at fault where a
// piece was ("53203-01: ..."); the program's own Japanese text where no system error is behind
// the failure.
std::wstring FailureReason(const Failure& failure) {
  switch (failure.kind) {
    case FailureKind::kSystem:
      return (failure.piece.empty() ? std::wstring() : FileNameOf(failure.piece) + L": ") +
             SystemMessage(failure.error);
    case FailureKind::kNoMemory:
      return kReasonNoMemory;
    case FailureKind::kNoRoom:
      return kReasonNoRoom;
    case FailureKind::kPieceIsSource:
      return kReasonPieceIsSource;
    case FailureKind::kTooManyPieces:
      return kReasonTooManyPieces;
    case FailureKind::kSetChanged:
      return kReasonSetChanged;
    case FailureKind::kNone:
    case FailureKind::kStopped:
      break;
  }
  return std::wstring();
}

// A path line that UTF-8 cannot spell (a lone surrogate), or too short to cut a piece's
// index from: no name of a file, as Windows would say of it.
Failure InvalidName() {
  return Failure{FailureKind::kSystem, ERROR_INVALID_NAME, {}};
}

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
    ShowInfo(kTextAskSize);
    return;
  }
  std::string path;
  if (!ControlPathText(ID_PATH, &path)) {
    ShowWorkResult(WorkOutcome{WorkKind::kSplit, 0, InvalidName()});
  } else if (!StartWork(WorkKind::kSplit, path, pieceSize)) {
    ShowWorkResult(WorkOutcome{WorkKind::kSplit, 0, Failure{FailureKind::kNoMemory, 0, {}}});
  }
}

void RunRestoreCommand() {
  if (WorkRunning()) return;
  std::string path;
  if (!ControlPathText(ID_PATH, &path) || !CutPieceSuffix(path.data())) {
    ShowWorkResult(WorkOutcome{WorkKind::kRestore, 0, InvalidName()});
  } else if (!StartWork(WorkKind::kRestore, path.c_str(), 0)) {
    ShowWorkResult(WorkOutcome{WorkKind::kRestore, 0, Failure{FailureKind::kNoMemory, 0, {}}});
  }
}

void ShowWorkResult(const WorkOutcome& outcome) {
  const bool split = outcome.kind == WorkKind::kSplit;
  if (outcome.result) {
    SetControlText(ID_PATH, split ? kTextSplitDone : kTextRestoreDone);
    if (!split) ShowInfo(kTextClearInfo);
  } else if (outcome.failure.kind == FailureKind::kStopped) {
    SetControlText(ID_PATH, kTextStopped);
  } else {
    SetControlText(ID_PATH, split ? kTextSplitFailed : kTextRestoreFailed);
    ShowInfo(FailureReason(outcome.failure));
  }
}
