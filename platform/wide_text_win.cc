#include "platform/wide_text_win.h"

#include <windows.h>

// The code page that CodePage932FromWide asks Windows for: 932, unless a test has set another
// (platform/code_page_seam_win.cc, which only the tests link).
UINT g_codePage932Number = 932;

namespace {

// One MultiByteToWideChar into a string of the right length; `flags` decide how strict.
bool ToWide(UINT codePage, DWORD flags, const char* text, std::wstring* wide) {
  const int units = MultiByteToWideChar(codePage, flags, text, -1, nullptr, 0);
  if (units <= 0) return false;
  wide->assign(static_cast<size_t>(units), L'\0');
  if (MultiByteToWideChar(codePage, flags, text, -1, wide->data(), units) != units) return false;
  wide->pop_back();  // the terminating NUL, which the count included
  return true;
}

std::string ToBytes(UINT codePage, const wchar_t* wide) {
  const int bytes = WideCharToMultiByte(codePage, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string text(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(codePage, 0, wide, -1, text.data(), bytes, nullptr, nullptr);
  text.pop_back();
  return text;
}

// Whether every surrogate is one half of a pair in the right order. Windows XP has no flag
// that makes WideCharToMultiByte refuse the others, so they are looked for here.
bool SurrogatesPaired(const wchar_t* wide) {
  for (; *wide; ++wide) {
    if (IsLowSurrogate(*wide)) return false;  // a low half with no high one
    if (IsHighSurrogate(*wide) && !IsLowSurrogate(*++wide)) return false;
  }
  return true;
}

}  // namespace

bool WideFromUtf8(const char* utf8, std::wstring* wide) {
  return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, wide);
}

bool Utf8FromWide(const wchar_t* wide, std::string* utf8) {
  if (!SurrogatesPaired(wide)) return false;
  *utf8 = ToBytes(CP_UTF8, wide);
  return !utf8->empty() || *wide == L'\0';
}

std::string CodePage932FromWide(const wchar_t* wide) {
  return ToBytes(g_codePage932Number, wide);
}
