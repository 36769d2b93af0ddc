#include "platform/win32/system_dll_win.h"

namespace yg::win32 {

FARPROC SystemDllFunction(const wchar_t* dll, const char* name) {
  // A DLL already loaded (user32) comes back as it is, its count raised.
  const HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace yg::win32
