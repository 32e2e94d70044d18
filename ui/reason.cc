#include "ui/reason.h"

#include "platform/platform.h"
#include "platform/wide_text_win.h"
#include "ui/texts.h"

namespace {

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
  std::wstring number;
  do {
    number.insert(number.begin(), static_cast<wchar_t>(L'0' + error % 10));
    error /= 10;
  } while (error != 0);
  return kReasonUnknownError + number;
}

}  // namespace

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
