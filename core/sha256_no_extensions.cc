// Processors other than x86: no SHA extensions that this program uses, so the portable path
// does all the work.
#include "core/sha256_blocks.h"

Sha256BlockFunction Sha256ExtensionBlocks() {
  return nullptr;
}
