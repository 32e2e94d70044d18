// Functions that Windows versions after XP added, looked up when they are needed: the program
// imports nothing that Windows XP SP3 lacks, and where a function is missing the feature that
// needs it does nothing.
#pragma once

#include <windows.h>

// The function `name` of the system DLL `dll` (loaded already), or null where this Windows has
// none. `Function` is its pointer type.
template <typename Function>
Function LaterFunction(const wchar_t* dll, const char* name) {
  const HMODULE module = GetModuleHandleW(dll);
  // Through the generic function pointer type, which any function pointer may be cast to.
  return module ? reinterpret_cast<Function>(
                      reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                : nullptr;
}
