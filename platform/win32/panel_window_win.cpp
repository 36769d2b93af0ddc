#include "platform/win32/panel_window_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "base/errors.h"
#include "platform/win32/boundary_win.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/foreground_win.h"
#include "platform/win32/panel_parts_win.h"
#include "platform/win32/text_win.h"

namespace yg::win32 {

namespace panel {

[[noreturn]] void Fail(const char* what) {
  throw PanelError(ErrorKind::FacilityFailed, std::string(what) + " (error " + std::to_string(GetLastError()) + ")");
}

}  // namespace panel

using namespace panel;

namespace {

// VB-style mouse arguments: button 1 left, 2 right, 4 middle (8 and 16 the side buttons);
// shift 1 Shift, 2 Ctrl, 4 Alt.
MouseArgs MouseArgsOf(UINT message, WPARAM wParam, LPARAM lParam, UINT dpi) {
  MouseArgs args;
  switch (message) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: args.button = 2; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: args.button = 4; break;
    case WM_XBUTTONDOWN: case WM_XBUTTONUP: args.button = GET_XBUTTON_WPARAM(wParam) == XBUTTON2 ? 16 : 8; break;
    default: args.button = MouseArgs::kLeft; break;
  }
  args.shift = ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) |
               ((GetKeyState(VK_MENU) < 0) ? 4 : 0);
  args.x = static_cast<float>(PixelsToTwips(GET_X_LPARAM(lParam), dpi));
  args.y = static_cast<float>(PixelsToTwips(GET_Y_LPARAM(lParam), dpi));
  return args;
}

bool IsButtonDown(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
         message == WM_XBUTTONDOWN;
}

bool IsButtonUp(UINT message) {
  return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP || message == WM_XBUTTONUP;
}

// The panel's timers are numbered from here in TimerId's order; 0 is no timer number.
constexpr UINT_PTR kFirstTimer = 1;

constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2;

}  // namespace

// Window procedures: bind the object, dispatch, and stop every error at the boundary.

LRESULT CALLBACK Win32Panel::PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32Panel*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32Panel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return WithinBoundary(self->FatalReporter(), LRESULT{0}, [&] { return self->OnMessage(message, wParam, lParam); });
}

LRESULT CALLBACK Win32Panel::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Panel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (Child* child = self ? self->ChildOf(hwnd) : nullptr) {
    LRESULT result = 0;
    if (WithinBoundary(self->FatalReporter(), false,
                       [&] { return self->OnControlMessage(*child, message, wParam, lParam, result); })) {
      return result;
    }
  }
  switch (message) {
    // A frame's children talk to the panel as if the frame were not there.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return SendMessageW(GetParent(hwnd), message, wParam, lParam);
    case WM_PAINT:
      if (self) {
        self->PaintFrame(hwnd);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32Panel::PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Panel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  Child* child = self ? self->ChildOf(hwnd) : nullptr;
  if (!child) return DefWindowProcW(hwnd, message, wParam, lParam);
  return WithinBoundary(self->FatalReporter(), LRESULT{0},
                        [&] { return self->OnPictureMessage(*child, message, wParam, lParam); });
}

LRESULT Win32Panel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const auto handled = OnOutOfWayMessage(message, wParam, lParam)) return *handled;
  switch (message) {
    case WM_MOUSEACTIVATE:
      // WS_EX_NOACTIVATE alone is not enough: Windows' activate-on-hover setting and Wine
      // activate the window on a click unless it says no here. The user's program must keep
      // the keyboard.
      return MA_NOACTIVATE;
    case WM_ACTIVATE:
      // Raised once, when the panel is first shown and becomes active.
      if (LOWORD(wParam) != WA_INACTIVE && !activated_ && form_) {
        activated_ = true;
        form_->Activate();
        return 0;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd_, &ps);
      EndPaint(hwnd_, &ps);
      if (form_) form_->Paint();
      return 0;
    }
    case WM_MOUSEMOVE:
      if (form_) form_->MouseMove();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (form_) form_->MouseDown(MouseArgsOf(message, wParam, lParam, LayoutDpi()));
      return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (form_) {
        form_->MouseDown(MouseArgsOf(message, wParam, lParam, LayoutDpi()));
        form_->DblClick();
      }
      return 0;
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      if (form_) form_->NonClientMouseDown();
      break;
    case WM_SYSCOMMAND:
      if (const auto item = SettingsItemOf(wParam)) {
        OnMenuChoice(*item);
        return 0;
      }
      return InSystemLoop(false, message, wParam, lParam);
    case WM_NCLBUTTONDOWN:
      // A press on the title bar (or the drag of the bare panel) runs the move loop.
      if (form_) form_->NonClientMouseDown();
      return InSystemLoop(false, message, wParam, lParam);
    case WM_CONTEXTMENU:
      return OnContextMenu(lParam);
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
      SetLoop(loops_.menu, message == WM_ENTERMENULOOP);
      break;
    case WM_INITMENUPOPUP:
      // The window menu or its key-size submenu: the panel has no other menu.
      if (form_) form_->MenuOpening();
      break;
    case WM_COMMAND:
      if (lParam) {
        OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      } else if (const auto item = SettingsItemOf(LOWORD(wParam)); item && HIWORD(wParam) == 0) {
        // The key sizes: Wine sends an item of a submenu of the window menu as a menu command.
        OnMenuChoice(*item);
      }
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->code == NM_CUSTOMDRAW) return OnCustomDraw(*reinterpret_cast<NMCUSTOMDRAW*>(lParam));
      break;
    }
    case kDefaultActionMessage:
      // A screen reader's default action, posted by the control's accessible object. A key hidden
      // since (by an action asked for just before) is out of reach, as it is of a click.
      if (const Child* c = ChildOf(reinterpret_cast<HWND>(wParam)); c && form_ && IsWindowVisible(c->hwnd)) {
        form_->DefaultAction(c->row->control);
      }
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_GETDPISCALEDSIZE:
      return OnGetDpiScaledSize(LOWORD(wParam), *reinterpret_cast<SIZE*>(lParam));
    case WM_DISPLAYCHANGE:
      OnDisplayChange();
      break;
    case WM_SYSCOLORCHANGE:
      // Another colour scheme, or a high-contrast theme switched on or off.
      OnColoursChanged(true);
      return 0;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETWORKAREA) OnDisplayChange();
      OnColoursChanged(false);
      break;
    case WM_ENTERSIZEMOVE:
      SetLoop(loops_.moving, true);
      break;
    case WM_EXITSIZEMOVE:
      SetLoop(loops_.moving, false);
      if (form_) form_->MoveEnded();
      break;
    case WM_TIMER:
      // Only the panel's own timers; any other number (another program may post one) is no
      // timer of the panel's.
      if (wParam >= kFirstTimer && wParam <= kFirstTimer + static_cast<WPARAM>(TimerId::IdleFade)) {
        if (form_) form_->Timer(static_cast<TimerId>(wParam - kFirstTimer));
        return 0;
      }
      break;
    case WM_CLOSE:
      if (form_) form_->Unload();
      DestroyWindow(hwnd_);
      return 0;
    case WM_ENDSESSION:
      // Windows is shutting down or the user logs off: the panel closes as if its close box
      // had been clicked; the process ends after this message without WM_CLOSE.
      if (wParam && form_) form_->Unload();
      return 0;
    case WM_DESTROY:
      SetLayoutDpi(hwnd_, 0);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT Win32Panel::OnPictureMessage(Child& child, UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT result = 0; OnControlMessage(child, message, wParam, lParam, result)) return result;
  const ControlId id = child.row->control;
  if (IsButtonDown(message)) {
    // The key holds the mouse until the last button is let go, so the release reaches it
    // wherever the pointer is by then.
    SetCapture(child.hwnd);
    if (form_) form_->MouseDown(id, MouseArgsOf(message, wParam, lParam, LayoutDpi()));
    return message == WM_XBUTTONDOWN ? TRUE : 0;
  }
  if (IsButtonUp(message)) {
    if (form_) form_->MouseUp(id, MouseArgsOf(message, wParam, lParam, LayoutDpi()));
    if ((wParam & kAnyButton) == 0 && GetCapture() == child.hwnd) ReleaseCapture();
    return message == WM_XBUTTONUP ? TRUE : 0;
  }
  switch (message) {
    case WM_CANCELMODE:
      // A box, a menu or another program takes over: the key lets go of the mouse.
      if (GetCapture() == child.hwnd) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      // Also after the last release, when the key has nothing held any more.
      if (reinterpret_cast<HWND>(lParam) != child.hwnd && form_) form_->CaptureLost(id);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(child.hwnd, &ps);
      PaintPicture(child, dc);
      EndPaint(child.hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintPicture(child, reinterpret_cast<HDC>(wParam));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(child.hwnd, message, wParam, lParam);
}

void Win32Panel::OnCommand(HWND control, UINT code) {
  const Child* c = ChildOf(control);
  if (!c || !form_ || c->row->kind != ControlKind::Button) return;
  switch (code) {
    case BN_CLICKED: form_->Click(c->row->control); break;
    case BN_SETFOCUS: form_->GotFocus(c->row->control); break;
    case BN_KILLFOCUS: form_->LostFocus(c->row->control); break;
    default: break;
  }
}

// Keyboard: the panel is no dialog, so Tab follows the layout's own tab order, which is not the
// stacking order.
bool Win32Panel::OnKeyMessage(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !hwnd_ || !IsChild(hwnd_, msg.hwnd)) return false;
  const Child* focused = ChildOf(msg.hwnd);
  if (!focused) return false;
  if (msg.wParam == VK_TAB) {
    const bool forward = GetKeyState(VK_SHIFT) >= 0;
    const auto next = NextTabStop(focused->row->control, forward,
                                  [this](ControlId c) { return IsWindowVisible(ChildOf(c).hwnd) != FALSE; });
    if (next) ::SetFocus(ChildOf(*next).hwnd);
    return true;
  }
  if (msg.wParam == VK_RETURN && focused->row->kind == ControlKind::Button) {
    SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
    return true;
  }
  return false;
}

int Win32Panel::RunMessageLoop() {
  return win32::RunMessageLoop(
      [this](const MSG& msg) {
        OnPointerMessage(msg);
        return OnKeyMessage(msg);
      },
      FatalReporter());
}

FatalReport Win32Panel::FatalReporter() {
  return [this](std::u16string_view text) { ReportFatalError(text); };
}

// Controls

std::u16string Win32Panel::Caption(ControlId control) const {
  const HWND hwnd = ChildOf(control).hwnd;
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int n = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(n, 0)));
  return FromWide(text);
}

void Win32Panel::SetCaption(ControlId control, std::u16string_view caption) {
  const std::u16string text(caption);
  if (!SetWindowTextW(ChildOf(control).hwnd, Wide(text))) Fail("SetWindowTextW");
}

void Win32Panel::ShowPictureOf(ControlId picture, ControlId holder) {
  Child& shown = ChildOf(picture);
  shown.picture = ChildOf(holder).picture;
  // Drawn at once: the pressed look must show while the button is held.
  RedrawWindow(shown.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Win32Panel::SetBackColor(ControlId control, Rgb color) {
  Child& c = ChildOf(control);
  c.backColor = color;
  InvalidateRect(c.hwnd, nullptr, TRUE);
}

void Win32Panel::SetVisible(ControlId control, bool visible) {
  ShowWindow(ChildOf(control).hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Panel::SetLeft(ControlId control, float twips) {
  Child& c = ChildOf(control);
  c.left = twips;
  PlaceChild(c);
}

void Win32Panel::SetHeight(ControlId control, float twips) {
  Child& c = ChildOf(control);
  c.height = twips;
  PlaceChild(c);
}

void Win32Panel::SetFocus(ControlId control) { ::SetFocus(ChildOf(control).hwnd); }

void Win32Panel::AddListEntry(ControlId list, std::u16string_view entry) {
  const std::u16string text(entry);
  const LRESULT r = SendMessageW(ChildOf(list).hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text)));
  if (r == CB_ERR || r == CB_ERRSPACE) Fail("CB_ADDSTRING");
}

// The window

void Win32Panel::SetTopmost(std::uint32_t positionFlags) {
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, positionFlags);
}

std::uint32_t Win32Panel::ExtendedStyle() const {
  return static_cast<std::uint32_t>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
}

void Win32Panel::SetExtendedStyle(std::uint32_t style) { SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, style); }

void Win32Panel::ReleaseMouseCapture() { ReleaseCapture(); }

void Win32Panel::RunMoveLoop() {
  // Only while the left button is down, as it is for a press of the mouse. A press message that
  // another program sent (an automation tool, a misbehaving hook) comes without one: Windows'
  // move loop then returns at once, but Wine's waits for a left release and meanwhile keeps the
  // panel from answering anything.
  if (GetKeyState(VK_LBUTTON) >= 0) return;
  // As if the title bar had been pressed: the system's own move loop takes over.
  SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void Win32Panel::StartTimer(TimerId id, unsigned milliseconds) {
  if (!SetTimer(hwnd_, kFirstTimer + static_cast<UINT_PTR>(id), milliseconds, nullptr)) Fail("SetTimer");
}

void Win32Panel::StopTimer(TimerId id) { KillTimer(hwnd_, kFirstTimer + static_cast<UINT_PTR>(id)); }

void Win32Panel::ShowMessage(std::u16string_view text) {
  const std::u16string message(text);
  const KeepForeground keep;
  MessageBoxW(hwnd_, Wide(message), kTitle, MB_OK);
}

void Win32Panel::ReportFatalError(std::u16string_view text) {
  // The program ends without unwinding: the icon goes first, while the box is still up.
  icon_.Remove();
  const std::u16string message(text);
  MessageBoxW(hwnd_, Wide(message), kTitle, MB_OK | MB_ICONERROR | MB_TASKMODAL);
  ExitProcess(1);
}

}  // namespace yg::win32