// Processors other than x86: no SHA extensions or vector paths that this program uses, so the
// portable path does all the work.
#include "core/sha256_blocks.h"

std::span<const Sha256Path> Sha256ExtensionPaths() {
  return {};
}

std::span<const Sha256LanePath> Sha256ExtensionLanePaths() {
  return {};
}

std::span<const Sha256LanePath> Sha256VectorLanePaths() {
  return {};
}
