#include "core/restore_path.h"

#include <cstring>

bool CutPieceSuffix(char* path) {
  const size_t length = std::strlen(path);
  if (length < 3) return false;
  path[length - 3] = '\0';
  return true;
}
