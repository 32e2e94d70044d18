// Conversions between the program's texts and the UTF-16 of the wide Win32 entry points. The
// program holds paths as UTF-8 and reads the size field as code page 932 bytes; Windows gets
// and gives both as UTF-16, so that no text passes through the system's ANSI code page, whose "best
// fit" would turn a character it lacks into another one (an "e" for an "é", a backslash for a yen
// sign) and so name another file. Every conversion is strict: a text that cannot be converted
// exactly fails, and nothing is guessed or replaced.
#pragma once

#include <windows.h>

#include <string>

// UTF-8 to UTF-16. Returns false for a text that is not valid UTF-8.
bool WideFromUtf8(const char* utf8, std::wstring* wide);
// The two halves of a UTF-16 surrogate pair: a high one, then a low one.
inline bool IsHighSurrogate(wchar_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool IsLowSurrogate(wchar_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// UTF-16 to UTF-8. Returns false for a text with a lone surrogate: file systems allow such
// names, but UTF-8 cannot spell them, and a replacement character could name another file.
bool Utf8FromWide(const wchar_t* wide, std::string* utf8);
// UTF-16 to code page 932 (Shift-JIS), whatever the system's code page, with the system's own
// rules for characters that code page lacks (the bytes a program of the ANSI entry points gets
// on a Japanese Windows). Empty where the system has no table for code page 932.
std::string CodePage932FromWide(const wchar_t* wide);
// For the tests alone, which link it (platform/code_page_seam_win.cc); the program has none: the
// number of the code page that CodePage932FromWide asks Windows for, 932 until then. A test gives
// another, one that Windows has no table for, to run the program as a Windows without East Asian
// language support does.
void SetCodePage932Number(UINT number);
