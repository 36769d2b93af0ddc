#pragma once

#include <windows.h>

#include <optional>

#include "ports/key_target.h"

namespace yg::win32 {

// The program whose window is in the foreground, as the system's tokens and thread layouts
// describe it.
class SystemKeyTarget : public KeyTarget {
 public:
  KeyReach KeysReachFocus() override;
  std::optional<LayoutHandle> Layout() override;
};

// The mandatory integrity level of a process (the last part of its token's label:
// 0x1000 low, 0x2000 medium, 0x3000 high, as administrator, 0x4000 system); nothing when the
// token cannot be read, as for a protected process.
std::optional<DWORD> IntegrityLevelOf(HANDLE process);

// Windows drops synthesised input on its way to a window of a higher integrity level than the
// sender's (User Interface Privilege Isolation), and SendInput still reports success.
KeyReach ReachBetween(std::optional<DWORD> panelLevel, std::optional<DWORD> targetLevel);

}  // namespace yg::win32
