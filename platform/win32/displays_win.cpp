#include "platform/win32/displays_win.h"

#include <algorithm>

#include "platform/win32/dpi_win.h"
#include "platform/win32/system_dll_win.h"

namespace yg::win32 {

namespace {

struct Monitor {
  RECT work;
  bool primary;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    reinterpret_cast<std::vector<Monitor>*>(list)->push_back({info.rcWork, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

}  // namespace

// dwmapi is loaded only when asked, as the panel needs it only after a display change.
std::optional<RECT> CompositorFrame(HWND window) {
  using GetAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
  static const auto getAttribute = SystemFunction<GetAttributeFn>(L"dwmapi.dll", "DwmGetWindowAttribute");
  constexpr DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS
  RECT r{};
  if (getAttribute && SUCCEEDED(getAttribute(window, kExtendedFrameBounds, &r, sizeof r)) && !IsRectEmpty(&r)) {
    return r;
  }
  return std::nullopt;
}

ScreenRect ToScreenRect(const RECT& r, UINT dpi) {
  return {PixelsToTwips(r.left, dpi), PixelsToTwips(r.top, dpi), PixelsToTwips(r.right, dpi),
          PixelsToTwips(r.bottom, dpi)};
}

std::vector<ScreenRect> SystemDisplays::WorkAreas() {
  std::vector<Monitor> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  std::stable_partition(monitors.begin(), monitors.end(), [](const Monitor& m) { return m.primary; });
  const UINT dpi = LayoutDpiOf(panel);
  std::vector<ScreenRect> areas;
  for (const Monitor& m : monitors) areas.push_back(ToScreenRect(m.work, dpi));
  return areas;
}

// The window as drawn: Windows 10 and later give top-level windows an invisible border for
// resizing, which GetWindowRect counts and the user does not see. The compositor knows it only for
// a window it shows: before the panel is first shown (start-up places it hidden) its rectangle is
// the window's. Wine has no compositor to ask; there the window is what it draws.
ScreenRect SystemDisplays::PanelBounds() {
  if (!panel) return {};
  RECT r{};
  GetWindowRect(panel, &r);
  if (IsWindowVisible(panel)) {
    if (const auto drawn = drawnFrame(panel)) r = *drawn;
  }
  return ToScreenRect(r, LayoutDpiOf(panel));
}

}  // namespace yg::win32
