// The builds without the paths of AVX-512: the 32-bit one, whose eight vector registers are too
// few for them, and those for processors other than x86.
#include "core/md5_rounds.h"
#include "core/sha256_blocks.h"

std::span<const Md5LanePath> Md5Avx512LanePaths() {
  return {};
}

std::span<const Sha256LanePath> Sha256Avx512LanePaths() {
  return {};
}
