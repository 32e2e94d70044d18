#include "platform/ascii.h"

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

void UpperCaseAscii(char* text) {
  for (char* c = text; *c; ++c) *c = AsciiUpper(*c);
}
