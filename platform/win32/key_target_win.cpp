#include "platform/win32/key_target_win.h"

#include <vector>

#include "platform/win32/scoped_win.h"

namespace yg::win32 {

std::optional<DWORD> IntegrityLevelOf(HANDLE process) {
  HANDLE token = nullptr;
  if (!process || !OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
  const ScopedHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  if (size < sizeof(TOKEN_MANDATORY_LABEL)) return std::nullopt;
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) return std::nullopt;
  const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
  if (!sid || !IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0) return std::nullopt;
  return *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u);
}

KeyReach ReachBetween(std::optional<DWORD> panelLevel, std::optional<DWORD> targetLevel) {
  if (!panelLevel || !targetLevel) return KeyReach::Unknown;
  return *targetLevel > *panelLevel ? KeyReach::Blocked : KeyReach::Reaches;
}

KeyReach SystemKeyTarget::KeysReachFocus() {
  const HWND foreground = GetForegroundWindow();
  DWORD pid = 0;
  if (!foreground || !GetWindowThreadProcessId(foreground, &pid) || !pid) return KeyReach::Unknown;
  if (pid == GetCurrentProcessId()) return KeyReach::Reaches;
  // The limited right is all a program of a higher level grants one of a lower, and all its
  // token needs.
  const ScopedHandle target(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  static const std::optional<DWORD> panelLevel = IntegrityLevelOf(GetCurrentProcess());
  return ReachBetween(panelLevel, IntegrityLevelOf(target.get()));
}

std::optional<LayoutHandle> SystemKeyTarget::Layout() {
  const HWND foreground = GetForegroundWindow();
  if (!foreground) return std::nullopt;
  const DWORD thread = GetWindowThreadProcessId(foreground, nullptr);
  if (!thread) return std::nullopt;
  return reinterpret_cast<LayoutHandle>(GetKeyboardLayout(thread));
}

}  // namespace yg::win32
