#pragma once

// The measuring program's side of yg_probe_hook.dll: puts the hook on a thread of the watched
// program, reads what it counted and asks it for requests.

#include <windows.h>

#include <optional>
#include <string>

#include "tests/bench/probe_hook.h"

namespace yg::tools {

class ProbeHook {
 public:
  ProbeHook();
  ProbeHook(const ProbeHook&) = delete;
  ProbeHook& operator=(const ProbeHook&) = delete;
  ~ProbeHook();

  // Hooks the thread that owns `window` and waits until the hook answers from inside it.
  bool Attach(const std::wstring& dll, HWND window, std::string& error);
  // What the hook counted in the window's process so far.
  std::optional<probe::Counts> CountsOf(DWORD pid) const;
  // Sends the request to the window and waits for it to be done; false when the window did not
  // answer within the timeout.
  bool Request(HWND window, probe::Request request, LPARAM lParam, UINT timeoutMs = 10000);

 private:
  HANDLE mapping_ = nullptr;
  probe::Shared* shared_ = nullptr;
  HMODULE dll_ = nullptr;
  HHOOK sentHook_ = nullptr;
  HHOOK queueHook_ = nullptr;
  UINT request_ = 0;
};

}  // namespace yg::tools
