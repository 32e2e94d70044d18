#include "conv/format.h"

#include <cstring>

#include "conv/format_digits.h"
#include "platform/platform.h"

char DigitBuffer[kDigitBufferSize];

namespace {

// Exact by design (README, "Behaviour kept on purpose"): 15 digits, rounded half up in this
// order of operations; printf's shortest or correctly rounded digits would show other numbers.
constexpr int32_t kDigits = 15;
// The scaling bounds, each the double nearest to its literal. They are deliberately not 1 and
// 10: the rounding of values close to a power of ten depends on exactly these values.
constexpr double kLowerBound = 0.999999999999999;
constexpr double kUpperBound = 9.99999999999999;

bool IsFinite(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return (bits & 0x7FF0000000000000u) != 0x7FF0000000000000u;
}

bool IsNaN(double value) {
  return value != value;
}

}  // namespace

int32_t FloorToInt(double value) {
  if (IsNaN(value)) return 0;
  if (value >= 2147483648.0) return INT32_MAX;
  if (value < -2147483648.0) return INT32_MIN;
  int32_t truncated = static_cast<int32_t>(value);
  if (value < 0 && value < truncated) --truncated;
  return truncated;
}

void RoundUpDigit(int32_t position) {
  // Iterative form of the carry: a 9 becomes 0 and the carry moves one place left.
  for (int32_t p = position; p >= 0 && p < kDigitBufferSize; --p) {
    if (DigitBuffer[p] != 9) {
      ++DigitBuffer[p];
      return;
    }
    DigitBuffer[p] = 0;
  }
}

char* GenerateDigits(double value, int32_t count, int32_t* exponent, int32_t* negative) {
  *exponent = 0;
  *negative = 0;
  if (count < 1 || count >= kDigitBufferSize || !IsFinite(value)) {
    if (value < 0) *negative = 1;
    DigitBuffer[0] = '\0';
    return DigitBuffer;
  }
  if (value == 0.0) {
    std::memset(DigitBuffer, '0', static_cast<size_t>(count));
    DigitBuffer[count] = '\0';
    return DigitBuffer;
  }
  double v = value;
  if (v < 0) {
    *negative = 1;
    v = v * -1.0;
  }

  int32_t e = 1;
  while (v < kLowerBound) {
    v = v * 10.0;
    --e;
  }
  while (v >= kUpperBound) {
    v = v / 10.0;
    ++e;
  }

  for (int32_t i = 0; i < count; ++i) {
    const int32_t digit = FloorToInt(v);
    DigitBuffer[i] = static_cast<char>(digit);
    const double rest = v - static_cast<double>(digit);
    v = rest * 10.0;
  }
  DigitBuffer[count] = '\0';

  // v now holds the next digit and everything after it: half up.
  if (v >= 5.0) RoundUpDigit(count - 1);

  for (int32_t i = 0; i < count; ++i) DigitBuffer[i] = static_cast<char>(DigitBuffer[i] + '0');
  DigitBuffer[count] = '\0';
  *exponent = e;
  return DigitBuffer;
}

std::string FormatNumber(double value) {
  if (IsNaN(value)) return "nan";
  if (!IsFinite(value)) return value < 0 ? "-inf" : "inf";

  int32_t e = 0;
  int32_t negative = 0;
  const char* digits = GenerateDigits(value, kDigits, &e, &negative);

  std::string text;
  if (negative) text += '-';

  if (e > 15 || e < -3) {
    // Mantissa and exponent, all fifteen digits kept: "+%03d" above, "%03d" below (where the
    // minus sign counts toward the width).
    text += digits[0];
    text += '.';
    text.append(digits + 1, kDigits - 1);
    text += 'e';
    char exponentText[16];
    FormatText(exponentText, sizeof exponentText, e > 15 ? "+%03d" : "%03d",
               static_cast<int>(e - 1));
    text += exponentText;
    return text;
  }

  int32_t next = 0;
  if (e >= 1) {
    text.append(digits, static_cast<size_t>(e));
    text += '.';
    next = e;
  } else {
    text += "0.";
    text.append(static_cast<size_t>(-e), '0');
  }
  text.append(digits + next, static_cast<size_t>(kDigits - next));

  // Trailing zeros of the fraction, then the point itself; the point stops the removal.
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}
