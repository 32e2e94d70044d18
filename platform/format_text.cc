// The program's own formatter of the few printf conversions it uses (platform/platform.h).
#include <cstdarg>
#include <cstdint>

#include "platform/platform.h"

namespace {

// The text being formatted: bytes past the room are counted, not written.
struct Formatted {
  char* out;
  size_t size;
  size_t length;
};

void Put(Formatted* text, char c) {
  if (text->length < text->size) text->out[text->length] = c;
  ++text->length;
}

// A number's sign and digits, padded to `width` with zeros after the sign or spaces before it.
void PutNumber(Formatted* text, bool negative, uint64_t magnitude, size_t width, bool zeros) {
  char digits[20];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude > 0);
  const size_t used = count + (negative ? 1 : 0);
  if (!zeros) {
    for (size_t pad = used; pad < width; ++pad) Put(text, ' ');
  }
  if (negative) Put(text, '-');
  if (zeros) {
    for (size_t pad = used; pad < width; ++pad) Put(text, '0');
  }
  while (count > 0) Put(text, digits[--count]);
}

// The magnitude of a signed value, INT_MIN and LONG_MIN included.
template <typename Signed>
uint64_t Magnitude(Signed value) {
  return value < 0 ? uint64_t{0} - static_cast<uint64_t>(static_cast<int64_t>(value))
                   : static_cast<uint64_t>(value);
}

// Formats one conversion at `*format` (just after its "%"), moving past it. False for a
// conversion that is not one of the few.
bool PutConversion(Formatted* text, const char** format, va_list* args) {
  const char* f = *format;
  if (*f == '%') {
    Put(text, '%');
    *format = f + 1;
    return true;
  }
  const bool zeros = *f == '0';
  size_t width = 0;
  while (*f >= '0' && *f <= '9') width = width * 10 + static_cast<size_t>(*f++ - '0');
  const bool isLong = *f == 'l';
  if (isLong) ++f;
  const char conversion = *f;
  *format = f + 1;
  if (conversion == 'd') {
    const long value = isLong ? va_arg(*args, long) : va_arg(*args, int);
    PutNumber(text, value < 0, Magnitude(value), width, zeros);
  } else if (conversion == 'u') {
    const unsigned long value = isLong ? va_arg(*args, unsigned long) : va_arg(*args, unsigned);
    PutNumber(text, false, value, width, zeros);
  } else if (conversion == 's' && !zeros && width == 0 && !isLong) {
    for (const char* c = va_arg(*args, const char*); *c; ++c) Put(text, *c);
  } else {
    return false;
  }
  return width < 100;
}

}  // namespace

// The program's own formatter rather than the system's printf or wsprintf, whose conversions
// differ (wsprintf knows no %llu, %zu or %f): a format gives the same text on both systems, and
// one that the program does not know gives none.
int FormatText(char* out, size_t size, const char* format, ...) {
  Formatted text = {out, size, 0};
  va_list args;
  va_start(args, format);
  bool ok = true;
  while (ok && *format) {
    const char c = *format++;
    ok = c != '%' ? (Put(&text, c), true) : PutConversion(&text, &format, &args);
  }
  va_end(args);
  if (!ok || text.length >= size) {
    if (size > 0) out[0] = '\0';
    return -1;
  }
  out[text.length] = '\0';
  return static_cast<int>(text.length);
}
