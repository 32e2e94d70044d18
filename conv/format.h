// Turning a number into decimal text with at most 15 significant digits, rounded half up at the
// 16th: plain notation for magnitudes from 0.0001 to below 10^15, mantissa and exponent
// ("1.00000000000000e+015", "1.00000000000000e-05") outside that range.
#pragma once

#include <cstdint>
#include <string>

// The text of `value`. NaN gives "nan" and the infinities "inf" and "-inf".
std::string FormatNumber(double value);
