#include "platform/win32/dpi_win.h"

#include "platform/win32/system_dll_win.h"

namespace yg::win32 {

namespace {

constexpr wchar_t kLayoutDpiProperty[] = L"YgLayoutDpi";

UINT SystemDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

UINT DpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = SystemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  if (getDpiForWindow && window) {
    if (const UINT dpi = getDpiForWindow(window)) return dpi;
  }
  return SystemDpi();
}

UINT ScaledDpi(UINT dpi, int percent) { return static_cast<UINT>(MulDiv(static_cast<int>(dpi), percent, 100)); }

UINT LayoutDpiOf(HWND window) {
  if (window) {
    if (const auto dpi = reinterpret_cast<UINT_PTR>(GetPropW(window, kLayoutDpiProperty))) return static_cast<UINT>(dpi);
  }
  return DpiOf(window);
}

void SetLayoutDpi(HWND window, UINT dpi) {
  if (dpi == 0) {
    RemovePropW(window, kLayoutDpiProperty);
  } else {
    SetPropW(window, kLayoutDpiProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
  }
}

int MetricForDpi(int index, UINT dpi) {
  using GetMetricsForDpiFn = int(WINAPI*)(int, UINT);
  static const auto getMetricsForDpi = SystemFunction<GetMetricsForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi");
  if (getMetricsForDpi) return getMetricsForDpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

RECT OuterRect(RECT client, DWORD style, DWORD exStyle, UINT dpi) {
  using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = SystemFunction<AdjustForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
  RECT r = client;
  if (!adjustForDpi || !adjustForDpi(&r, style, FALSE, exStyle, dpi)) {
    r = client;
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  }
  return r;
}

}  // namespace yg::win32
