// The texts of the window's controls, through the wide entry points. The program's own texts are
// UTF-16 already (ui/texts.h); paths cross this edge as UTF-8, and the size field's text as the
// code page 932 bytes that the number parser reads, those that a Japanese Windows gives.
#pragma once

#include <windows.h>

#include <string>

// Sets a control of the main window to a text.
void SetControlText(int id, const wchar_t* text);
// The whole text of a control of the main window as UTF-16, whatever its length.
std::wstring ControlWideText(int id);
// The text of a control of the main window as a UTF-8 path. Returns false when it cannot be
// spelt in UTF-8 (a name with a lone surrogate), so that no other name is used in its place.
bool ControlPathText(int id, std::string* path);
// The text of a control as code page 932 bytes, at most `maxBytes` of them and never half a
// character: what the ANSI entry points read on a Japanese Windows. Where the system has no
// table for code page 932, ASCII characters stay what they are and others become "?", so that
// a number still reads as a number.
std::string ControlCodePage932Text(int id, size_t maxBytes);
// A text of ASCII characters (a formatted number) as UTF-16.
std::wstring WidenAscii(const std::string& text);
