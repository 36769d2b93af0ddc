#pragma once

#include <windows.h>

namespace yg::win32 {

// A function of a DLL in the system folder, or nullptr where this Windows has neither. The DLL
// is loaded on the first call, from the system folder only, so that a DLL of the same name beside
// the program is never taken, and stays loaded: callers keep the function for the program's life,
// in a static of their own.
FARPROC SystemDllFunction(const wchar_t* dll, const char* name);

template <class Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
  // Through a function pointer without parameters: the cast between function types says so.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemDllFunction(dll, name)));
}

}  // namespace yg::win32
