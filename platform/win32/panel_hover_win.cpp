// Hover to click and hold to repeat, Windows' side: where the pointer is and what lies under it,
// the presses of the keys that repeat, the clock and the keyboard's repeat, and the mark that
// fills on a key while the pointer rests on it.

#include "platform/win32/panel_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace yg::win32 {

std::uint64_t Win32Panel::Milliseconds() const {
  // When the message being handled came: a held key repeats from the moment its button went down
  // to the moment it came up, as a keyboard's key does, however late a busy panel sees either.
  // The message's time is the low 32 bits of the tick count then; one older than a minute is no
  // message's of this moment's.
  const ULONGLONG now = GetTickCount64();
  const DWORD age = static_cast<DWORD>(now) - static_cast<DWORD>(GetMessageTime());
  return age > 60'000 ? now : now - age;
}

PointerPlace Win32Panel::Pointer() const {
  PointerPlace place;
  place.dpi = static_cast<int>(dpi_);
  POINT at;
  // No pointer (a locked desktop, another desktop in front): over nothing of the panel's.
  if (!GetCursorPos(&at)) return place;
  place.x = at.x;
  place.y = at.y;
  place.buttonDown = GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0 || GetKeyState(VK_MBUTTON) < 0;
  // The window a click there would reach: hidden windows and tooltips that let clicks through are
  // passed by, the panel's tip and other programs' windows are not its controls.
  const HWND under = WindowFromPoint(at);
  const auto it = std::find_if(children_.begin(), children_.end(), [under](const Child& c) { return c.hwnd == under; });
  if (under && it != children_.end()) place.control = it->row->control;
  return place;
}

KeyboardRepeat Win32Panel::KeyRepeat() const {
  KeyboardRepeat repeat;
  // What cannot be read keeps the default of Windows' own.
  int delay = 0;
  DWORD speed = 0;
  if (SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &delay, 0)) repeat.delay = delay;
  if (SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &speed, 0)) repeat.speed = static_cast<int>(speed);
  return repeat;
}

void Win32Panel::OnPointerMessage(const MSG& msg) {
  if (msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE && msg.message != WM_MOUSELEAVE) return;
  if (!form_ || !hwnd_ || !form_->FollowsPointer() || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return;
  if (msg.message == WM_MOUSEMOVE) {
    // Told when the pointer leaves this window, also straight off the panel, where no other
    // window of the panel's hears of it.
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, msg.hwnd, 0};
    TrackMouseEvent(&track);
  }
  form_->PointerMoved(Pointer());
}

LRESULT CALLBACK Win32Panel::HeldKeyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self) {
  auto* panel = reinterpret_cast<Win32Panel*>(self);
  const Child* child = panel->ChildOf(hwnd);
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, HeldKeyProc, id);
  // The button has its say first: it takes the mouse on the press, and on the release lets it go
  // and clicks, so the core hears of a release after that click.
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  if (!child || !panel->form_) return result;
  const ControlId key = child->row->control;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // a push button's quick second press
      panel->form_->MouseDown(key, MouseArgs{});
      break;
    case WM_LBUTTONUP: panel->form_->MouseUp(key, MouseArgs{}); break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd) panel->form_->CaptureLost(key);
      break;
    default: break;
  }
  return result;
}

// The mark: a bar along the foot of the key, inside its edge, that fills from the left. Its
// lengths are pixels at 96 DPI, grown with the keys.
RECT Win32Panel::RestMarkRect(const RECT& client) const {
  const int dpi = static_cast<int>(LayoutDpi());
  const int inset = MulDiv(2, dpi, 96), height = MulDiv(4, dpi, 96);
  return {client.left + inset, client.bottom - inset - height, client.right - inset, client.bottom - inset};
}

void Win32Panel::PaintRestMark(const Child& child, HDC dc, const RECT& client) const {
  if (child.hwnd != restMark_.key) return;
  const RestMarkColours colours = RestMarkColoursFor(colours_);
  const auto fill = [dc](RECT r, Rgb colour) {
    SetDCBrushColor(dc, RGB(colour.r, colour.g, colour.b));
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  };
  RECT bar = RestMarkRect(client);
  fill(bar, colours.outline);
  const int edge = std::max(1, MulDiv(1, static_cast<int>(LayoutDpi()), 96));
  InflateRect(&bar, -edge, -edge);
  if (bar.right <= bar.left || bar.bottom <= bar.top) return;  // a key too small for more
  fill(bar, colours.empty);
  const double done = std::clamp(restMark_.done, 0.0, 1.0);
  bar.right = bar.left + static_cast<LONG>(done * (bar.right - bar.left) + 0.5);
  fill(bar, colours.filled);
}

void Win32Panel::ShowRestMark(ControlId control, double done) {
  const HWND key = ChildOf(control).hwnd;
  if (restMark_.key && restMark_.key != key) HideRestMark();
  restMark_ = {key, done};
  // Only the bar is drawn again, at once: the key's face stays as it is.
  RECT client;
  GetClientRect(key, &client);
  const RECT bar = RestMarkRect(client);
  RedrawWindow(key, &bar, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Win32Panel::HideRestMark() {
  const HWND key = std::exchange(restMark_.key, nullptr);
  if (!key) return;
  RECT client;
  GetClientRect(key, &client);
  const RECT bar = RestMarkRect(client);
  RedrawWindow(key, &bar, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

}  // namespace yg::win32
