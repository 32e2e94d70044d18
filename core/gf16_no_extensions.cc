// Processors other than x86: no vector path, the portable one does all the work.
#include "core/gf16_kernels.h"

std::span<const GfPath> GfVectorPaths() {
  return {};
}
