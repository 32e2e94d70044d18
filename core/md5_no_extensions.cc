// Processors other than x86: no vector path, the portable one hashes every stream alone.
#include "core/md5_rounds.h"

std::span<const Md5LanePath> Md5VectorLanePaths() {
  return {};
}
