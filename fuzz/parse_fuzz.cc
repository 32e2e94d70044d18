// ParseNumber on any bytes up to 4 KiB, NUL-terminated. Texts up to the 255 bytes of the size
// field must give finite results; longer ones must only not crash or read past the end.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "conv/parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  // An exact-size heap copy, so that a read past the NUL is caught by AddressSanitizer.
  char* text = static_cast<char*>(std::malloc(size + 1));
  for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>(data[i]);
  text[size] = '\0';
  const std::string before(text, size + 1);
  const double value = ParseNumber(text);
  if (std::string(text, size + 1) != before) std::abort();  // the text is never changed
  if (size <= 255 && !std::isfinite(value)) std::abort();
  std::free(text);
  return 0;
}
