#include "conv/piece_size.h"

// Exact by design (README, "Behaviour kept on purpose"): the low 32 bits of the whole number are
// the size, counted unsigned, so 2048 MB asks for pieces of 2^31 bytes and 4095 MB for pieces of
// 0xFFF00000 bytes, where a signed reading would be negative.
uint32_t PieceBytesFromNumber(double value) {
  constexpr double kTwo63 = 9223372036854775808.0;
  if (!(value > -kTwo63 && value < kTwo63)) return 0;  // also NaN
  const int64_t whole = static_cast<int64_t>(value);
  return static_cast<uint32_t>(static_cast<uint64_t>(whole));
}

uint32_t ScaleByUnit(uint32_t size, uint32_t factor) {
  return size * factor;
}
