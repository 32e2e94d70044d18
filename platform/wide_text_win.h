// Conversions between the program's texts and the UTF-16 of the wide Win32 entry points. The
// program holds paths as UTF-8 and its own window texts as code page 932 bytes; Windows gets
// both as UTF-16, so that no text passes through the system's ANSI code page, whose "best fit"
// would turn a character it lacks into another one (an "e" for an "é", a backslash for a yen
// sign) and so name another file. Every conversion is strict: a text that cannot be converted
// exactly fails, and nothing is guessed or replaced.
#pragma once

#include <string>

// UTF-8 to UTF-16. Returns false for a text that is not valid UTF-8.
bool WideFromUtf8(const char* utf8, std::wstring* wide);
// UTF-16 to UTF-8. Returns false for a text with a lone surrogate: file systems allow such
// names, but UTF-8 cannot spell them, and a replacement character could name another file.
bool Utf8FromWide(const wchar_t* wide, std::string* utf8);
// Code page 932 (Shift-JIS) to UTF-16, whatever the system's code page. Returns false for
// bytes that are not valid code page 932, or where the system has no table for it.
bool WideFromCodePage932(const char* text, std::wstring* wide);
// UTF-16 to code page 932, with the system's own rules for characters that code page lacks
// (the bytes a program of the ANSI entry points gets on a Japanese Windows).
std::string CodePage932FromWide(const wchar_t* wide);
