#include "platform/win32/foreground_win.h"

#include <cwchar>

namespace yg::win32 {

namespace {

// The taskbars of the primary and the other monitors and the notification area's overflow
// (Windows 10 and 11); and Wine's own window for the notification icons where the X desktop has
// no notification area, which a click on an icon activates.
constexpr const wchar_t* kTaskbarClasses[] = {L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd", L"NotifyIconOverflowWindow",
                                              L"TopLevelWindowForOverflowXamlIsland", L"__winex11_standalone_tray"};

bool IsTaskbar(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  for (const wchar_t* taskbar : kTaskbarClasses) {
    if (std::wcscmp(name, taskbar) == 0) return true;
  }
  return false;
}

}  // namespace

WindowOwner OwnerOf(HWND window) noexcept {
  if (!window) return WindowOwner::None;
  if (IsTaskbar(window)) return WindowOwner::Taskbar;
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
