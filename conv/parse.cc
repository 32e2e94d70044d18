#include "conv/parse.h"

#include <cstdint>
#include <string>

#include "platform/ascii.h"

namespace {

bool IsDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

// Value of `c` as a digit of `radix` (8 or 16), or -1.
int RadixDigit(char c, int radix) {
  const int value = HexValue(c);
  return value < radix ? value : -1;
}

// "&H" and "&O": `text` points at the "&". Each digit's term is its value times a place
// multiplier that wraps modulo 2^64, read back as a signed 64-bit integer, and the terms are
// added from the rightmost digit leftwards.
double ParseRadixNumber(const char* text) {
  std::string copy(text);
  UpperCaseAscii(copy.data());
  int radix = 0;
  if (copy[1] == 'H') radix = 16;
  if (copy[1] == 'O') radix = 8;
  if (radix == 0) return 0.0;

  size_t end = 2;
  while (RadixDigit(copy[end], radix) >= 0) ++end;

  double accumulator = 0.0;
  uint64_t place = 1;
  for (size_t i = end; i > 2; --i) {
    const uint64_t digit = static_cast<uint64_t>(RadixDigit(copy[i - 1], radix));
    const double term = static_cast<double>(static_cast<int64_t>(place * digit));
    accumulator = term + accumulator;
    place *= static_cast<uint64_t>(radix);
  }
  return accumulator;
}

}  // namespace

// Exact by design (README, "Behaviour kept on purpose"): the digits are summed in this order,
// one rounding per step, so a library strtod, which rounds once, would change the last bits.
double ParseNumber(const char* text) {
  const char* at = text;
  while (*at == ' ' || *at == '\t') ++at;
  if (*at == '&') return ParseRadixNumber(at);

  bool negative = false;
  if (*at == '-') {
    negative = true;
    ++at;
  } else if (*at == '+') {
    ++at;
  }

  // Integer digits, summed from the rightmost one with a growing place multiplier.
  const char* integerStart = at;
  while (IsDecimalDigit(*at)) ++at;
  double accumulator = 0.0;
  double place = 1.0;
  for (const char* digit = at; digit > integerStart; --digit) {
    const double term = static_cast<double>(digit[-1] - '0') * place;
    accumulator = term + accumulator;
    place = place * 10.0;
  }

  // Fraction digits, left to right, each divided by a growing divisor.
  if (*at == '.') {
    ++at;
    double divisor = 10.0;
    for (; IsDecimalDigit(*at); ++at) {
      const double term = static_cast<double>(*at - '0') / divisor;
      accumulator = term + accumulator;
      divisor = divisor * 10.0;
    }
  }

  if (negative) accumulator = accumulator * -1.0;
  return accumulator;
}
