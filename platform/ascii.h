// ASCII alone, whatever the locale or the code page: the cases of its letters, its hexadecimal
// digits and a drive's letter, with which the program spells and compares the names it makes.
// A byte of 0x80 or more is no letter or digit here, so the bytes of UTF-8 and of code pages
// always pass unchanged.
#pragma once

#include <string_view>

constexpr bool IsAsciiLetter(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Whether two texts are the same, their ASCII letters compared in either case, as Windows
// compares the names of files.
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b);
// Upper-cases the ASCII letters of a NUL-terminated text in place, and nothing else.
void UpperCaseAscii(char* text);

// The hexadecimal digit of the low four bits of `value`, a small letter from 10 on.
constexpr char HexDigit(unsigned value) {
  return "0123456789abcdef"[value & 15];
}
// The value of a hexadecimal digit in either case, or -1 for any other character.
constexpr int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Whether a path, of UTF-8 or of UTF-16, starts with a drive: an ASCII letter and a colon.
template <typename Text>
bool StartsWithDrive(const Text& path) {
  return path.size() >= 2 && path[1] == ':' && IsAsciiLetter(static_cast<char32_t>(path[0]));
}
