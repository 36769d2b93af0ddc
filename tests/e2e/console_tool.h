#pragma once

// What the console test tools (yg_probe, yg_bench) share.

#include <windows.h>

#include <string_view>

namespace yg::tools {

// Coordinates in physical pixels, as the panel (per-monitor aware) has them.
inline void BecomeDpiAware() {
  using SetContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  const auto proc = GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext");
  if (proc && reinterpret_cast<SetContextFn>(reinterpret_cast<void (*)()>(proc))(
                  DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) {
    return;
  }
  SetProcessDPIAware();
}

// Writes the usage text to standard error.
inline void Usage(std::string_view text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace yg::tools
