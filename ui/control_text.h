// The texts of the window, through the wide entry points. The program's own texts are code page
// 932 bytes (ui/texts.h) and are converted here, in one place, with that code page named, so
// that they read the same on a Windows of any language. Paths cross this edge as UTF-8.
#pragma once

#include <windows.h>

#include <string>

// A text of the program's own (code page 932) as UTF-16. Empty where the system has no table
// for code page 932.
std::wstring WideText(const char* text);
// Sets a control of the main window to one of the program's own texts.
void SetControlText(int id, const char* text);
// The whole text of a control of the main window as UTF-16, whatever its length.
std::wstring ControlWideText(int id);
// The text of a control of the main window as a UTF-8 path. Returns false when it cannot be
// spelt in UTF-8 (a name with a lone surrogate), so that no other name is used in its place.
bool ControlPathText(int id, std::string* path);
// The text of a control as code page 932 bytes, at most `maxBytes` of them and never half a
// character: what the ANSI entry points read on a Japanese Windows.
std::string ControlCodePage932Text(int id, size_t maxBytes);
