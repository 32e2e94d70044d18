#include "conv/random.h"

#include "platform/platform.h"

namespace {
uint32_t g_randomState = 1;
}  // namespace

// Exact by design (README, "Behaviour kept on purpose"): this generator and no library rand(),
// so that the base number follows from the tick count alone, the same on every system.
int32_t NextRandom() {
  // Unsigned arithmetic, so the multiplication and addition wrap modulo 2^32.
  g_randomState = g_randomState * 1103515245u + 12345u;
  // The unsigned state as a double, divided by 65536 (exact), cut to an integer and reduced
  // modulo 32768: bits 16 to 30 of the state.
  const double scaled = static_cast<double>(g_randomState) / 65536.0;
  const int64_t high = static_cast<int64_t>(scaled);
  return static_cast<int32_t>(high % 0x8000);
}

double RandomFraction() {
  const int32_t a = NextRandom();
  const int32_t b = NextRandom();
  // At most 32767 * 32767, below 2^31: the signed product cannot overflow.
  const int32_t k = (a * b) % 100000;
  return static_cast<double>(k) / 100000.0;
}

void SeedRandom() {
  SetRandomState(TickCount());
}

void SetRandomState(uint32_t state) {
  g_randomState = state;
}
