#include "platform/win32/panel_window_win.h"

#include <algorithm>

#include "platform/win32/dpi_win.h"
#include "platform/win32/panel_parts_win.h"

namespace yg::win32 {

using namespace panel;

UINT Win32Panel::LayoutDpi() const { return ScaledDpi(dpi_, keySize_); }

RECT Win32Panel::ChildRect(const Child& c) const {
  const PixelBox box = ToPixelBox(c.left, c.top, c.width, c.height, LayoutDpi());
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

RECT Win32Panel::ClientAt(UINT layoutDpi) const {
  RECT client = ClientOnScreen();
  const UINT from = LayoutDpi();
  client.right = client.left + TwipsToPixels(PixelsToTwips(client.right - client.left, from), layoutDpi);
  client.bottom = client.top + TwipsToPixels(PixelsToTwips(client.bottom - client.top, from), layoutDpi);
  return client;
}

// Before a change of scale the system asks for the new size: the same twips of client area at
// the new DPI (and the same key size), in a frame of that DPI.
bool Win32Panel::OnGetDpiScaledSize(UINT dpi, SIZE& size) const {
  const RECT client = ClientAt(ScaledDpi(dpi, keySize_));
  const RECT outer = OuterRect(client, kPanelStyle, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi);
  size = {outer.right - outer.left, outer.bottom - outer.top};
  return true;
}

void Win32Panel::OnDisplayChange() {
  // A change of scale while the user drags the panel across monitors is the user placing it.
  if (form_ && !loops_.moving) form_->DisplayChanged();
}

// The window's place and size: twips of the outer window, kept as pixels of its client area.

RECT Win32Panel::ClientOnScreen() const {
  RECT r;
  if (!GetClientRect(hwnd_, &r)) Fail("GetClientRect");
  MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Win32Panel::SetClientRect(const RECT& client, UINT frameDpi) {
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  RECT outer = OuterRect(client, kPanelStyle, exStyle, frameDpi ? frameDpi : dpi_);
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

void Win32Panel::MoveClient(const RECT& client, UINT at) {
  const RECT before = ClientOnScreen();
  if (EqualRect(&before, &client)) return;
  // A move onto a monitor of another scaling makes the system send WM_DPICHANGED while the window
  // moves. Taken then, the new scale would size the window for the new DPI in the middle of the
  // move, and the frame correction would size it back for the old one: the DPI is taken once
  // the window stands where it was put.
  movedToDpi_ = 0;
  {
    placing_ = true;
    struct Placed {
      bool& placing;
      ~Placed() { placing = false; }
    } placed{placing_};
    // In the frame of the monitor whose scale `at` is, where the window goes.
    SetClientRect(client, at == LayoutDpi() ? dpi_ : static_cast<UINT>(MulDiv(static_cast<int>(at), 100, keySize_)));
  }
  const UINT dpi = movedToDpi_ ? movedToDpi_ : dpi_;
  const UINT layout = ScaledDpi(dpi, keySize_);
  // The corner stays where it was put; the size is the panel's twips at its scale there.
  RECT settled = client;
  settled.right = settled.left + TwipsToPixels(PixelsToTwips(client.right - client.left, at), layout);
  settled.bottom = settled.top + TwipsToPixels(PixelsToTwips(client.bottom - client.top, at), layout);
  const auto place = [&] {
    const RECT now = ClientOnScreen();
    if (!EqualRect(&now, &settled)) SetClientRect(settled);
  };
  if (dpi != dpi_) {
    ChangeScale(dpi, keySize_, place);
  } else {
    place();
  }
}

void Win32Panel::Show() { ShowWindow(hwnd_, SW_SHOW); }

float Win32Panel::Left() const {
  return static_cast<float>(PixelsToTwips(ClientOnScreen().left, LayoutDpi()) - kFrameLeft);
}

float Win32Panel::Top() const { return static_cast<float>(PixelsToTwips(ClientOnScreen().top, LayoutDpi()) - kFrameTop); }

float Win32Panel::Width() const {
  const RECT c = ClientOnScreen();
  return static_cast<float>(PixelsToTwips(c.right - c.left, LayoutDpi()) + kFrameLeft + kFrameRight);
}

float Win32Panel::Height() const {
  const RECT c = ClientOnScreen();
  return static_cast<float>(PixelsToTwips(c.bottom - c.top, LayoutDpi()) + kFrameTop + kFrameBottom);
}

void Win32Panel::SetLeft(float twips) { Move(twips, Top(), 0); }

void Win32Panel::SetTop(float twips) { Move(Left(), twips, 0); }

void Win32Panel::SetWidth(float twips) {
  RECT c = ClientOnScreen();
  c.right = c.left + std::max(0, TwipsToPixels(twips - kFrameLeft - kFrameRight, LayoutDpi()));
  MoveClient(c, LayoutDpi());
}

void Win32Panel::SetHeight(float twips) {
  RECT c = ClientOnScreen();
  c.bottom = c.top + std::max(0, TwipsToPixels(twips - kFrameTop - kFrameBottom, LayoutDpi()));
  MoveClient(c, LayoutDpi());
}

unsigned Win32Panel::Scale() const { return LayoutDpi(); }

void Win32Panel::Move(float left, float top, unsigned scale) {
  // The window as it stood when its place was taken at that scale: the monitor that holds it
  // gives the scale it takes.
  const UINT at = scale ? scale : LayoutDpi();
  RECT c = ClientAt(at);
  OffsetRect(&c, TwipsToPixels(left + kFrameLeft, at) - c.left, TwipsToPixels(top + kFrameTop, at) - c.top);
  MoveClient(c, at);
}

float Win32Panel::ScreenWidth() const {
  return static_cast<float>(PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), LayoutDpi()));
}

float Win32Panel::ScreenHeight() const {
  return static_cast<float>(PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), LayoutDpi()));
}

}  // namespace yg::win32
