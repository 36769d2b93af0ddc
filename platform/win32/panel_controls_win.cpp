// What the panel's controls hand to the panel before their own window procedures: screen readers'
// questions, the mouse messages the tips follow, and the candidate keys' double clicks. The
// system's buttons get a window procedure in front of theirs as each is made; the panel's own
// frames and pictures pass the same messages on from theirs. The tips themselves are made when the
// pointer first comes over a key that has one.

#include "platform/win32/panel_window_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

#include "platform/win32/panel_parts_win.h"
#include "platform/win32/text_win.h"

namespace yg::win32 {

using namespace panel;

namespace {

// The messages a tooltip follows its tools by: those its own subclass of a tool would relay.
bool TipsFollow(UINT message) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return true;
    default:
      return false;
  }
}

}  // namespace

// In front of the system's procedure by hand, not with SetWindowSubclass: that finds its list of
// subclasses in a window property on every message, and under Wine each such lookup is a call to
// the server, which a click on a key then waits for.
void Win32Panel::HookButton(Child& c) {
  SetWindowLongPtrW(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  c.systemProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Panel::ButtonProc)));
  if (!c.systemProc) Fail("SetWindowLongPtrW");
}

LRESULT CALLBACK Win32Panel::ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Panel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  Child* child = self ? self->ChildOf(hwnd) : nullptr;
  if (!child || !child->systemProc) return DefWindowProcW(hwnd, message, wParam, lParam);
  const WNDPROC systemProc = child->systemProc;
  return WithinBoundary(self->FatalReporter(), LRESULT{0}, [&] {
    LRESULT result = 0;
    if (self->OnControlMessage(*child, message, wParam, lParam, result)) return result;
    // A candidate key types on every press: the second press of a double click is one too.
    if (message == WM_LBUTTONDBLCLK && NotifiesFocus(*child->row)) message = WM_LBUTTONDOWN;
    return CallWindowProcW(systemProc, hwnd, message, wParam, lParam);
  });
}

bool Win32Panel::OnControlMessage(Child& c, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (TipsFollow(message) && !c.row->tooltip.empty()) RelayToTips(c, message, wParam, lParam);
  return screenReaders_.OnMessage(c.hwnd, c.row->control, hwnd_, message, wParam, lParam, result);
}

void Win32Panel::RelayToTips(const Child& c, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!tooltip_) {
    // Nothing needs the tips before the pointer comes over a key that has one.
    if (message != WM_MOUSEMOVE) return;
    CreateTooltips();
  }
  const DWORD at = GetMessagePos();
  MSG msg{c.hwnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {GET_X_LPARAM(at), GET_Y_LPARAM(at)}};
  SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void Win32Panel::CreateTooltips() {
  // TTS_ALWAYSTIP: the panel is never the active window, and without it tips show only for
  // the active one.
  // No owner: Wine moves a window that owns a topmost popup to just below that popup instead of
  // into the topmost band, so the panel would never become topmost there. Windows does not need
  // the owner either; the panel destroys the tooltip itself.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_,
                             nullptr);
  if (!tooltip_) Fail("CreateWindowExW tooltip");
  SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(FontRole::Default)), FALSE);
  for (const Child& c : children_) {
    if (c.row->tooltip.empty()) continue;
    std::wstring text = WideCopy(c.row->tooltip);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    // No TTF_SUBCLASS: the keys relay their mouse messages themselves (RelayToTips).
    // TTF_TRANSPARENT: a tip shown over the next key lets a click through to that key; a click
    // on the tip itself would activate it (Wine) and take the keyboard from the user's program.
    tool.uFlags = TTF_IDISHWND | TTF_TRANSPARENT;
    tool.hwnd = ContainerWindow(c.row->container);
    tool.uId = reinterpret_cast<UINT_PTR>(c.hwnd);
    tool.lpszText = text.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

}  // namespace yg::win32
