#include "core/piece_name.h"

#include <cstring>

#include "platform/platform.h"

std::string PieceName(int32_t base, uint32_t index) {
  // A sign and ten digits, a hyphen, ten digits of the index, and the NUL.
  char name[24];
  FormatText(name, sizeof name, "%d-%02d", static_cast<int>(base), static_cast<int>(index));
  return name;
}

// The base is copied rather than formatted with "%s", which would cut a long path short.
std::string PieceName(const std::string& baseText, uint32_t index) {
  char suffix[12];  // a hyphen, ten digits and the NUL
  FormatText(suffix, sizeof suffix, "-%02d", static_cast<int>(index));
  return baseText + suffix;
}

namespace {

// Where the last character before `end` (at least 1) starts: at a UTF-8 lead byte (11xxxxxx)
// followed by up to three continuation bytes (10xxxxxx). A byte that is not part of such a
// sequence counts as a character of its own.
size_t LastCharacterStart(const char* text, size_t end) {
  size_t at = end - 1;
  for (int back = 0; back < 3 && at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
       ++back) {
    --at;
  }
  return (static_cast<unsigned char>(text[at]) & 0xC0) == 0xC0 ? at : end - 1;
}

}  // namespace

// Exact by design (README, "Behaviour kept on purpose"): three characters off the end and no
// parsing of the name, so that dropping any piece from -00 to -99 restores the whole set. The
// path is UTF-8, and a character of several bytes goes whole, never leaving half of it behind.
bool CutPieceSuffix(char* path) {
  size_t end = std::strlen(path);
  for (int cut = 0; cut < 3; ++cut) {
    if (end == 0) return false;
    end = LastCharacterStart(path, end);
  }
  path[end] = '\0';
  return true;
}
