// Processors other than x86: no vector path, the table path does all the work.
#include "core/crc32_kernels.h"

std::span<const Crc32Path> Crc32VectorPaths() {
  return {};
}
