#include "conv/piece_size.h"

int32_t PieceSizeFromNumber(double value) {
  constexpr double kTwo63 = 9223372036854775808.0;
  if (!(value > -kTwo63 && value < kTwo63)) return 0;  // also NaN
  const int64_t whole = static_cast<int64_t>(value);
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(whole)));
}

// Exact by design (README, "Behaviour kept on purpose"): the product wraps modulo 2^32 and a
// negative result is a size counted unsigned, so 4095 MB asks for pieces of 0xFFF00000 bytes.
int32_t ApplyUnitFactor(int32_t size, uint32_t factor) {
  return static_cast<int32_t>(static_cast<uint32_t>(size) * factor);
}
