#include "platform/win32/tip_win.h"

#include <algorithm>

#include "platform/win32/dpi_win.h"
#include "platform/win32/system_dll_win.h"
#include "platform/win32/text_win.h"

namespace yg::win32 {

namespace {

constexpr wchar_t kTipClass[] = L"YgTip";
constexpr UINT_PTR kHideTimer = 1;
constexpr UINT kShowMilliseconds = 6000;
constexpr int kPaddingAt96 = 6;

// The system's tooltip font at `dpi`: SystemParametersInfoForDpi where Windows has it (10,
// 1607), else the system DPI's font scaled.
HFONT MakeTipFont(UINT dpi) {
  using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto forDpi = SystemFunction<ForDpiFn>(L"user32.dll", "SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!forDpi || !forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
    const UINT system = DpiOf(nullptr);
    metrics.lfStatusFont.lfHeight = MulDiv(metrics.lfStatusFont.lfHeight, static_cast<int>(dpi), static_cast<int>(system));
  }
  return CreateFontIndirectW(&metrics.lfStatusFont);
}

}  // namespace

Win32Tip::~Win32Tip() {
  if (hwnd_) DestroyWindow(hwnd_);
}

// The window is made on the first tip, and its font again whenever the panel's scale changed.
bool Win32Tip::Ready(UINT dpi) {
  if (!hwnd_) {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = TipProc;
    c.hInstance = instance_;
    c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
    c.lpszClassName = kTipClass;
    if (!RegisterClassExW(&c) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    // WS_EX_NOACTIVATE: showing or clicking the tip leaves the user's program active.
    // WS_EX_TOPMOST: above the user's program and the taskbar, like the panel.
    // WS_EX_TOOLWINDOW: no taskbar button.
    // No owner: under Wine a window that owns a topmost popup is kept below it and never
    // reaches the topmost band, which would cost the panel its place on top.
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kTipClass, L"", WS_POPUP | WS_BORDER,
                            0, 0, 0, 0, nullptr, nullptr, instance_, this);
    if (!hwnd_) return false;
  }
  if (dpi != dpi_ || !font_) {
    font_.reset(MakeTipFont(dpi));
    dpi_ = dpi;
  }
  return static_cast<bool>(font_);
}

RECT Win32Tip::TextRect(const RECT& client) const {
  RECT r = client;
  const int padding = MulDiv(kPaddingAt96, static_cast<int>(dpi_), 96);
  InflateRect(&r, -padding, -padding);
  return r;
}

TipWindow::Size Win32Tip::Measure(std::u16string_view text, double maxWidth) {
  const UINT dpi = LayoutDpiOf(panel);
  if (!Ready(dpi)) return {};
  const std::wstring wide = WideCopy(text);
  const int border = 2 * GetSystemMetrics(SM_CXBORDER);
  const int padding = 2 * MulDiv(kPaddingAt96, static_cast<int>(dpi), 96);
  RECT r{0, 0, std::max(1, TwipsToPixels(maxWidth, dpi) - padding - border), 0};
  const HDC dc = GetDC(hwnd_);
  {
    SelectIn font(dc, font_.get());
    DrawTextW(dc, wide.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  }
  ReleaseDC(hwnd_, dc);
  return {PixelsToTwips(r.right + padding + border, dpi), PixelsToTwips(r.bottom + padding + border, dpi)};
}

void Win32Tip::Show(std::u16string_view text, double left, double top, Size size) {
  const UINT dpi = LayoutDpiOf(panel);
  if (!Ready(dpi)) return;
  text_ = WideCopy(text);
  // Also the window's text, for screen readers.
  SetWindowTextW(hwnd_, text_.c_str());
  const PixelBox box = ToPixelBox(left, top, size.width, size.height, dpi);
  // Placed and raised first, then shown without activation.
  SetWindowPos(hwnd_, HWND_TOPMOST, box.left, box.top, box.Width(), box.Height(), SWP_NOACTIVATE);
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
  SetTimer(hwnd_, kHideTimer, kShowMilliseconds, nullptr);
}

void Win32Tip::Hide() {
  // Every click and press asks: one that finds no tip showing (its timer goes with it) costs
  // nothing.
  if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
  KillTimer(hwnd_, kHideTimer);
  ShowWindow(hwnd_, SW_HIDE);
}

LRESULT CALLBACK Win32Tip::TipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32Tip*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32Tip*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->OnMessage(message, wParam, lParam);
}

LRESULT Win32Tip::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      // WS_EX_NOACTIVATE alone does not stop a click from activating the window under Wine.
      return MA_NOACTIVATE;
    case WM_TIMER:
      // Its own, even should the tip have gone some other way: Hide passes a hidden tip by.
      KillTimer(hwnd_, kHideTimer);
      Hide();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      Hide();
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_DESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

void Win32Tip::Paint() {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  RECT text = TextRect(client);
  {
    SelectIn font(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    DrawTextW(dc, text_.c_str(), -1, &text, DT_WORDBREAK | DT_NOPREFIX);
  }
  EndPaint(hwnd_, &ps);
}

}  // namespace yg::win32
