// FormatNumber on any 8 bytes taken as a double, NaN and the infinities included. The text must
// be short, made of the expected characters, and in the fixed form read back close to the value.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "conv/format.h"
#include "conv/parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size != 8) return 0;
  double value;
  std::memcpy(&value, data, sizeof value);
  const std::string text = FormatNumber(value);
  if (text.empty() || text.size() > 22) std::abort();
  if (!std::isfinite(value)) return 0;
  for (char c : text) {
    if (!std::strchr("0123456789.-+e", c)) std::abort();
  }
  if (text.find('e') == std::string::npos) {
    // Fifteen significant digits: the fixed form is within a few units of the 15th digit.
    const double back = ParseNumber(text.c_str());
    const double tolerance = std::fabs(value) * 1e-14 + 1e-18;
    if (std::fabs(back - value) > tolerance) std::abort();
  }
  return 0;
}
