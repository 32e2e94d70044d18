// The steps of FormatNumber (conv/format.h): the digits of a number, rounded half up in a fixed
// order, in a buffer that the steps share. For conv/format.cc and its tests.
#pragma once

#include <cstdint>

// The shared digit buffer that GenerateDigits fills. Counts must stay below its size.
constexpr int32_t kDigitBufferSize = 32;
extern char DigitBuffer[kDigitBufferSize];

// Writes `count` decimal digits of |value| and a NUL into DigitBuffer and returns it; stores
// the decimal exponent E (0.D0D1... times 10^E is |value|, rounded) and whether the value is
// below zero. A count below 1 or too large for the buffer, or a value that is not finite, gives
// an empty text with E set to 0.
char* GenerateDigits(double value, int32_t count, int32_t* exponent, int32_t* negative);

// Adds one to the digit value at `position` of DigitBuffer, carrying to the left. Positions
// outside the buffer are ignored.
void RoundUpDigit(int32_t position);

// The greatest integer not above `value`, saturated to the 32-bit range (NaN gives 0).
int32_t FloorToInt(double value);
