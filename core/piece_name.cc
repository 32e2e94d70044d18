#include "core/piece_name.h"

#include "core/checksum_list.h"
#include "core/limits.h"
#include "platform/ascii.h"
#include "platform/platform.h"

std::string BaseNumberText(int32_t base) {
  char name[12];  // a sign, ten digits and the NUL
  FormatText(name, sizeof name, "%d", static_cast<int>(base));
  return name;
}

// The base is copied rather than formatted with "%s", which would cut a long path short.
FilePath PieceName(const FilePath& base, uint32_t index) {
  char suffix[12];  // a hyphen, ten digits and the NUL
  FormatText(suffix, sizeof suffix, "-%02d", static_cast<int>(index));
  return base.AddSuffix(suffix);
}

std::string PieceName(const std::string& baseText, uint32_t index) {
  return PieceName(FilePath(baseText), index).value();
}

std::string PieceName(int32_t base, uint32_t index) {
  return PieceName(BaseNumberText(base), index);
}

namespace {

constexpr char kRecoverySuffix[] = ".par2";

// Whether `name` starts with `start`, their ASCII letters in either case.
bool StartsAlike(std::string_view name, std::string_view start) {
  return name.size() >= start.size() && SameIgnoringAsciiCase(name.substr(0, start.size()), start);
}

// The index of a piece's suffix as PieceName spells it: a hyphen, and two digits or a number of
// three or more without leading zeros, below 2^31.
bool PieceIndex(std::string_view suffix, uint64_t* index) {
  const size_t digits = suffix.size() - 1;
  if (suffix.size() < 3 || suffix[0] != '-' || digits > 10 || (digits > 2 && suffix[1] == '0')) {
    return false;
  }
  uint64_t value = 0;
  for (const char c : suffix.substr(1)) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value >= kMaxPieceCount) return false;
  *index = value;
  return true;
}

}  // namespace

FilePath SetMemberName(const FilePath& base, SetMember member) {
  switch (member.kind) {
    case MemberKind::kList:
      return ListName(base);
    case MemberKind::kPiece:
      return PieceName(base, static_cast<uint32_t>(member.index));
    case MemberKind::kRecovery:
      return base.AddSuffix(kRecoverySuffix);
    case MemberKind::kOutput:
    case MemberKind::kNone:
      break;
  }
  return base;
}

// The base first, then what follows it: one suffix for each kind of name.
SetMember MemberOfSet(std::string_view name, std::string_view baseName) {
  if (!StartsAlike(name, baseName)) return SetMember{MemberKind::kNone, 0};
  const std::string_view suffix = name.substr(baseName.size());
  uint64_t index = 0;
  if (suffix.empty()) return SetMember{MemberKind::kOutput, 0};
  if (PieceIndex(suffix, &index)) return SetMember{MemberKind::kPiece, index};
  if (suffix.size() == sizeof kListSuffix - 1 && StartsAlike(suffix, kListSuffix)) {
    return SetMember{MemberKind::kList, 0};
  }
  // The recovery index, or a volume: ".vol", anything, ".par2".
  const size_t end = sizeof kRecoverySuffix - 1;
  if (suffix.size() >= end && StartsAlike(suffix.substr(suffix.size() - end), kRecoverySuffix) &&
      (suffix.size() == end || (suffix.size() > end + 4 && StartsAlike(suffix, ".vol")))) {
    return SetMember{MemberKind::kRecovery, 0};
  }
  return SetMember{MemberKind::kNone, 0};
}

// Exact by design (README, "Behaviour kept on purpose"): three characters off the end and no
// parsing of the name, so that dropping any piece from -00 to -99 restores the whole set.
bool BaseOfPiece(const FilePath& piece, FilePath* base) {
  return piece.RemoveLastCharacters(3, base);
}
