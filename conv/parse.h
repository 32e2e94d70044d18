// Turning a text into a number: decimal with an optional sign and fraction, or hexadecimal
// after "&H" and octal after "&O" (letters in either case). Leading spaces and tabs are skipped,
// everything after the number is ignored, and a text without a number gives zero.
#pragma once

// Sums the digits in a fixed order (see parse.cc), so the last bits of the result are those of
// that order, not always those of the nearest double. Never fails and never reads past the
// terminating NUL, whatever the length of the text.
double ParseNumber(const char* text);
