#include "core/piece_name.h"

#include <cstring>

#include "platform/platform.h"

bool FormatPieceName(char* name, int32_t base, uint32_t index) {
  return FormatText(name, kPieceNameBytes, "%d-%02d", static_cast<int>(base),
                    static_cast<int>(index)) >= 0;
}

bool FormatPieceName(char* name, const char* baseText, uint32_t index) {
  return FormatText(name, kPieceNameBytes, "%s-%02d", baseText, static_cast<int>(index)) >= 0;
}

// Exact by design (README, "Behaviour kept on purpose"): three bytes off the end and no parsing
// of the name, so that dropping any piece from -00 to -99 restores the whole set.
bool CutPieceSuffix(char* path) {
  const size_t length = std::strlen(path);
  if (length < 3) return false;
  path[length - 3] = '\0';
  return true;
}
