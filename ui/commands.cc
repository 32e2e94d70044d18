#include "ui/commands.h"

#include <windows.h>

#include <string>

#include "conv/parse.h"
#include "conv/piece_size.h"
#include "core/checksum_list.h"
#include "core/piece_name.h"
#include "platform/file_path.h"
#include "platform/platform.h"
#include "platform/wide_text_win.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/control_text.h"
#include "ui/controls.h"
#include "ui/recovery_menu.h"
#include "ui/texts.h"

namespace {

bool IsChecked(int id) {
  return SendDlgItemMessageW(MainWindow, id, BM_GETCHECK, 0, 0) == 1;
}

// The size field's text is read as at most 255 bytes of code page 932.
constexpr size_t kSizeTextBytes = 255;

// The last name of a path, for a person: the piece's file name without its folder.
std::wstring FileNameOf(const std::string& path) {
  std::wstring wide;
  return WideFromUtf8(FilePath(path).BaseName().c_str(), &wide) ? wide : std::wstring();
}

std::wstring SystemMessage(uint32_t error) {
  std::wstring message;
  if (WideFromUtf8(ErrorText(error).c_str(), &message) && !message.empty()) return message;
  char number[12];
  FormatText(number, sizeof number, "%lu", static_cast<unsigned long>(error));
  return kReasonUnknownError + WidenAscii(number);
}

// A count in ASCII digits.
std::wstring Number(uint64_t count) {
  char digits[24];
  FormatText(digits, sizeof digits, "%lu", static_cast<unsigned long>(count));
  return WidenAscii(digits);
}

// " ほか N 件" after the first of `count` files; nothing for one.
std::wstring Others(uint64_t count) {
  return count > 1 ? kTextOthers + Number(count - 1) + kTextFilesCount : std::wstring();
}

// The words for the cause of a failure: the system's message for the error that ended it, in
// the user's language where the system has one; the program's own Japanese text where no system
// error is behind it.
std::wstring CauseOf(const Failure& failure) {
  switch (failure.kind) {
    case FailureKind::kSystem:
      return SystemMessage(failure.error);
    case FailureKind::kNoMemory:
      return kReasonNoMemory;
    case FailureKind::kNoRoom:
      return kReasonNoRoom;
    case FailureKind::kTooManyPieces:
      return kReasonTooManyPieces;
    case FailureKind::kNoPieceSize:
      return kTextAskSize;
    case FailureKind::kSetChanged:
      return kReasonSetChanged;
    case FailureKind::kNoFreeName:
      return kReasonNoFreeName;
    case FailureKind::kPieceMissing:
      return kReasonPieceMissing;
    case FailureKind::kPieceDamaged:
      return kReasonPieceDamaged;
    case FailureKind::kListUnreadable:
      return kReasonListUnreadable;
    case FailureKind::kReadOnly:
      return kReasonReadOnly;
    case FailureKind::kSourceChanged:
      return kReasonSourceChanged;
    case FailureKind::kRecoveryShort:
      return kReasonRecoveryShort + Number(failure.count) + kReasonRecoveryShortEnd;
    case FailureKind::kNone:
    case FailureKind::kStopped:
      break;
  }
  return std::wstring();
}

// Why a work failed: its cause, after the name of the file at fault where one is
// ("53203-01: ...").
std::wstring FailureReason(const Failure& failure) {
  return (failure.file.empty() ? std::wstring() : FileNameOf(failure.file) + L": ") +
         CauseOf(failure);
}

// What a failed split could not remove: the first such file, and how many more there are.
std::wstring LeftBehindText(const WorkContext& context) {
  if (context.leftBehindCount == 0) return std::wstring();
  return kTextLeftBehind + FileNameOf(context.leftBehind) + Others(context.leftBehindCount);
}

// The path line's text as a restore's base: a checksum list less its ending, any other file (a
// piece) less its last three characters. Returns false when there is no such base.
bool RestoreBase(const std::string& path, FilePath* base) {
  return BaseOfList(FilePath(path), base) || BaseOfPiece(FilePath(path), base);
}

// A work that never started: a path line that UTF-8 cannot spell (a lone surrogate), or too
// short to cut a piece's index from, is no name of a file, as Windows would say of it; a work
// without a thread has no memory.
WorkOutcome NotStarted(WorkKind kind, bool invalidName) {
  WorkOutcome outcome = {kind, 0, {}};
  outcome.context.failure = invalidName ? Failure{FailureKind::kSystem, ERROR_INVALID_NAME, {}}
                                        : Failure{FailureKind::kNoMemory, 0, {}};
  return outcome;
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
  const uint32_t size = PieceBytesFromNumber(ParseNumber(sizeText.c_str()));
  // Zero before the unit, or a product that wraps to zero, leaves nothing to split by.
  const uint32_t pieceSize = size == 0 ? 0 : ScaleByUnit(size, ChosenUnitFactor());
  if (pieceSize == 0) {
    ShowInfo(kTextAskSize);
    return;
  }
  std::string path;
  if (!ControlPathText(ID_PATH, &path)) {
    ShowWorkResult(NotStarted(WorkKind::kSplit, true));
  } else if (!StartWork(MainWindow, WorkKind::kSplit, path, pieceSize,
                        ChosenRecovery(MainWindow))) {
    ShowWorkResult(NotStarted(WorkKind::kSplit, false));
  }
}

void RunRestoreCommand() {
  if (WorkRunning()) return;
  std::string path;
  FilePath base;
  if (!ControlPathText(ID_PATH, &path) || !RestoreBase(path, &base)) {
    ShowWorkResult(NotStarted(WorkKind::kRestore, true));
  } else if (!StartWork(MainWindow, WorkKind::kRestore, base.value(), 0)) {
    ShowWorkResult(NotStarted(WorkKind::kRestore, false));
  }
}

void ShowWorkResult(const WorkOutcome& outcome) {
  const bool split = outcome.kind == WorkKind::kSplit;
  const WorkContext& context = outcome.context;
  const std::wstring leftBehind = LeftBehindText(context);
  if (outcome.result) {
    SetControlText(ID_PATH, split ? kTextSplitDone : kTextRestoreDone);
    if (split) {
      // The recovery pieces made, or why none were.
      if (context.recoveryMade > 0) {
        ShowInfo(kTextRecoveryMade + Number(context.recoveryMade) + kTextRecoveryCount);
      } else if (context.recoveryRefused) {
        ShowInfo(kTextRecoveryRefused);
      }
      return;
    }
    // After a restore from a checksum list, the name the file had, for its extension: as the
    // list spells it, but for what would break the line or show nothing.
    std::wstring name;
    if (!WideFromUtf8(ShownName(context.originalName).c_str(), &name)) name.clear();
    std::wstring info = name.empty() ? std::wstring(kTextClearInfo) : kTextOriginalName + name;
    // The pieces rebuilt from the recovery pieces: the first, and how many more.
    if (!context.repaired.empty()) {
      info += kTextRepaired + FileNameOf(context.repaired) + Others(context.repairedCount);
    }
    ShowInfo(info);
  } else if (context.failure.kind == FailureKind::kStopped) {
    SetControlText(ID_PATH, kTextStopped);
    if (!leftBehind.empty()) ShowInfo(leftBehind);
  } else {
    SetControlText(ID_PATH, split ? kTextSplitFailed : kTextRestoreFailed);
    const std::wstring reason = FailureReason(context.failure);
    ShowInfo(leftBehind.empty() ? reason : reason + kTextClearInfo + leftBehind);
  }
}
