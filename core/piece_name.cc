#include "core/piece_name.h"

#include "core/limits.h"
#include "platform/platform.h"

std::string BaseNumberText(int32_t base) {
  char name[12];  // a sign, ten digits and the NUL
  FormatText(name, sizeof name, "%d", static_cast<int>(base));
  return name;
}

std::string PieceName(int32_t base, uint32_t index) {
  // A sign and ten digits, a hyphen, ten digits of the index, and the NUL.
  char name[24];
  FormatText(name, sizeof name, "%d-%02d", static_cast<int>(base), static_cast<int>(index));
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

bool IsPieceOf(const std::string& name, const std::string& baseName, uint64_t* index) {
  if (name.size() < baseName.size() + 3 || name[baseName.size()] != '-') return false;
  const size_t digits = name.size() - baseName.size() - 1;
  for (size_t i = 0; i < baseName.size(); ++i) {
    char a = name[i];
    char b = baseName[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  const char* number = name.c_str() + baseName.size() + 1;
  if (digits > 10 || (digits > 2 && number[0] == '0')) return false;
  uint64_t value = 0;
  for (size_t i = 0; i < digits; ++i) {
    if (number[i] < '0' || number[i] > '9') return false;
    value = value * 10 + static_cast<unsigned>(number[i] - '0');
  }
  if (value >= kMaxPieceCount) return false;
  *index = value;
  return true;
}

// Exact by design (README, "Behaviour kept on purpose"): three characters off the end and no
// parsing of the name, so that dropping any piece from -00 to -99 restores the whole set.
bool BaseOfPiece(const FilePath& piece, FilePath* base) {
  return piece.RemoveLastCharacters(3, base);
}
