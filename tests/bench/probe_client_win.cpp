#include "tests/bench/probe_client_win.h"

#include "tests/bench/tool_win.h"

namespace yg::tools {

ProbeHook::ProbeHook() : request_(RegisterWindowMessageW(probe::kRequestMessage)) {
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(probe::Shared),
                                probe::kSharedName);
  if (mapping_) {
    shared_ = static_cast<probe::Shared*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(probe::Shared)));
  }
}

ProbeHook::~ProbeHook() {
  if (queueHook_) UnhookWindowsHookEx(queueHook_);
  if (sentHook_) UnhookWindowsHookEx(sentHook_);
  if (dll_) FreeLibrary(dll_);
  if (shared_) UnmapViewOfFile(shared_);
  if (mapping_) CloseHandle(mapping_);
}

bool ProbeHook::Attach(const std::wstring& dll, HWND window, std::string& error) {
  if (!shared_) {
    error = "no shared memory for the probe hook";
    return false;
  }
  if (!dll_) dll_ = LoadLibraryW(dll.c_str());
  const auto sent = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void (*)()>(dll_ ? GetProcAddress(dll_, probe::kCallWndProc) : nullptr));
  const auto queue = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void (*)()>(dll_ ? GetProcAddress(dll_, probe::kGetMessageProc) : nullptr));
  if (!sent || !queue) {
    error = "cannot load the probe hook " + Utf8(dll);
    return false;
  }
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  sentHook_ = SetWindowsHookExW(WH_CALLWNDPROC, sent, dll_, thread);
  queueHook_ = SetWindowsHookExW(WH_GETMESSAGE, queue, dll_, thread);
  if (!sentHook_ || !queueHook_) {
    error = "SetWindowsHookExW " + std::to_string(GetLastError());
    return false;
  }
  if (!Request(window, probe::kPing, 0)) {
    error = "the probe hook did not answer from inside the program";
    return false;
  }
  return true;
}

std::optional<probe::Counts> ProbeHook::CountsOf(DWORD pid) const {
  if (!shared_) return std::nullopt;
  for (const probe::Counts& c : shared_->slots) {
    if (static_cast<DWORD>(c.pid) == pid) return c;
  }
  return std::nullopt;
}

bool ProbeHook::Request(HWND window, probe::Request request, LPARAM lParam, UINT timeoutMs) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const auto before = CountsOf(pid);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, request_, request, lParam, SMTO_NORMAL, timeoutMs, &result)) return false;
  const auto after = CountsOf(pid);
  return after && after->requests > (before ? before->requests : 0);
}

}  // namespace yg::tools
