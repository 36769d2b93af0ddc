#include "platform/win32/foreground_win.h"

namespace yg::win32 {

WindowOwner OwnerOf(HWND window) noexcept {
  if (!window) return WindowOwner::None;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId() ? WindowOwner::Panel : WindowOwner::Other;
}

KeepForeground::KeepForeground() noexcept : KeepForeground(GetForegroundWindow()) {}

KeepForeground::KeepForeground(HWND remembered) noexcept
    : remembered_(remembered), rememberedOwner_(OwnerOf(remembered_)) {}

KeepForeground::~KeepForeground() {
  const HWND now = GetForegroundWindow();
  // A window handle can be reused by another window once its own is gone; the owner is read
  // again so that the foreground never goes to a stranger in the old window's place.
  const bool exists = IsWindow(remembered_) && OwnerOf(remembered_) == rememberedOwner_;
  if (GiveForegroundBack({rememberedOwner_, exists, OwnerOf(now)})) {
    SetForegroundWindow(remembered_);
  }
}

}  // namespace yg::win32
