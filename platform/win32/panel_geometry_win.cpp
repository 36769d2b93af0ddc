#include "platform/win32/panel_window_win.h"

#include <algorithm>

#include "platform/win32/dpi_win.h"
#include "platform/win32/panel_parts_win.h"

namespace yg::win32 {

using namespace panel;

RECT Win32Panel::ChildRect(const Child& c) const {
  const PixelBox box = ToPixelBox(c.left, c.top, c.width, c.height, dpi_);
  RECT r{box.left, box.top, box.right, box.bottom};
  // A drop-down combo box's window includes its list.
  if (c.row->kind == ControlKind::ComboBox) r.bottom = r.top + 6 * box.Height();
  return r;
}

void Win32Panel::PlaceChild(const Child& c) const {
  const RECT r = ChildRect(c);
  if (!SetWindowPos(c.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    SWP_NOZORDER | SWP_NOACTIVATE)) {
    Fail("SetWindowPos control");
  }
}

// Before a change of scale the system asks for the new size: the same twips of client area at
// the new DPI, in a frame of that DPI.
bool Win32Panel::OnGetDpiScaledSize(UINT dpi, SIZE& size) const {
  RECT client;
  if (!GetClientRect(hwnd_, &client)) return false;
  client.right = TwipsToPixels(PixelsToTwips(client.right, dpi_), dpi);
  client.bottom = TwipsToPixels(PixelsToTwips(client.bottom, dpi_), dpi);
  const RECT outer = OuterRect(client, kPanelStyle, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi);
  size = {outer.right - outer.left, outer.bottom - outer.top};
  return true;
}

void Win32Panel::OnDisplayChange() {
  // A change of scale while the user drags the panel across monitors is the user placing it.
  if (form_ && !moving_) form_->DisplayChanged();
}

// The window's place and size: twips of the outer window, kept as pixels of its client area.

RECT Win32Panel::ClientOnScreen() const {
  RECT r;
  if (!GetClientRect(hwnd_, &r)) Fail("GetClientRect");
  MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Win32Panel::SetClientRect(const RECT& client) {
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  RECT outer = OuterRect(client, kPanelStyle, exStyle, dpi_);
  PlaceWindow(outer);
  // The real frame can differ from the one the system computes for the DPI (Wine keeps the
  // frame of the system DPI): correct by where the client area actually went.
  const RECT actual = ClientOnScreen();
  if (!EqualRect(&actual, &client)) {
    outer.left += client.left - actual.left;
    outer.top += client.top - actual.top;
    outer.right += client.right - actual.right;
    outer.bottom += client.bottom - actual.bottom;
    PlaceWindow(outer);
  }
}

void Win32Panel::PlaceWindow(const RECT& outer) {
  if (!SetWindowPos(hwnd_, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                    SWP_NOZORDER | SWP_NOACTIVATE)) {
    Fail("SetWindowPos panel");
  }
}

void Win32Panel::Show() { ShowWindow(hwnd_, SW_SHOW); }

float Win32Panel::Left() const {
  return static_cast<float>(PixelsToTwips(ClientOnScreen().left, dpi_) - kFrameLeft);
}

float Win32Panel::Top() const { return static_cast<float>(PixelsToTwips(ClientOnScreen().top, dpi_) - kFrameTop); }

float Win32Panel::Width() const {
  const RECT c = ClientOnScreen();
  return static_cast<float>(PixelsToTwips(c.right - c.left, dpi_) + kFrameLeft + kFrameRight);
}

float Win32Panel::Height() const {
  const RECT c = ClientOnScreen();
  return static_cast<float>(PixelsToTwips(c.bottom - c.top, dpi_) + kFrameTop + kFrameBottom);
}

void Win32Panel::SetLeft(float twips) {
  RECT c = ClientOnScreen();
  OffsetRect(&c, TwipsToPixels(twips + kFrameLeft, dpi_) - c.left, 0);
  SetClientRect(c);
}

void Win32Panel::SetTop(float twips) {
  RECT c = ClientOnScreen();
  OffsetRect(&c, 0, TwipsToPixels(twips + kFrameTop, dpi_) - c.top);
  SetClientRect(c);
}

void Win32Panel::SetWidth(float twips) {
  RECT c = ClientOnScreen();
  c.right = c.left + std::max(0, TwipsToPixels(twips - kFrameLeft - kFrameRight, dpi_));
  SetClientRect(c);
}

void Win32Panel::SetHeight(float twips) {
  RECT c = ClientOnScreen();
  c.bottom = c.top + std::max(0, TwipsToPixels(twips - kFrameTop - kFrameBottom, dpi_));
  SetClientRect(c);
}

float Win32Panel::ScreenWidth() const {
  return static_cast<float>(PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), dpi_));
}

float Win32Panel::ScreenHeight() const {
  return static_cast<float>(PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), dpi_));
}

}  // namespace yg::win32
