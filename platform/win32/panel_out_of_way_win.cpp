// The window's side of 显示/隐藏快捷键, 通知区域图标 and 空闲时透明, and of a second start: hiding and
// showing the panel, its opacity, and the messages of the hot key, the notification icon,
// Explorer and a second copy. What each of them does is the core's to say.

#include "platform/win32/panel_window_win.h"

#include <shellapi.h>
#include <windowsx.h>

#include <utility>

#include "platform/win32/foreground_win.h"
#include "platform/win32/panel_parts_win.h"

namespace yg::win32 {

namespace panel {

UINT StartedAgainMessage() {
  static const UINT message = RegisterWindowMessageW(L"YgKeyPanel.StartedAgain");
  return message;
}

}  // namespace panel

using namespace panel;

namespace {

// Explorer's word to every top-level window that its taskbar is new: it started, or started again
// after it ended, and knows of no icon.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace

std::optional<LRESULT> Win32Panel::OnOutOfWayMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!form_) return std::nullopt;
  switch (message) {
    case WM_HOTKEY:
      if (wParam != SystemHotkey::kId) return std::nullopt;
      form_->HotkeyPressed();
      return 0;
    case TrayIcon::kMessage:
      OnIconEvent(LOWORD(lParam), {GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
      return 0;
    case WM_SETCURSOR:
      // The window under the pointer gets it, and every child's DefWindowProc hands it to its
      // parent first: the panel hears of the pointer over any part of itself. It sets the cursor
      // as before.
      form_->PointerOver();
      return std::nullopt;
    default:
      break;
  }
  if (message == TaskbarCreatedMessage()) {
    form_->TaskbarCreated();
    return 0;
  }
  if (message == StartedAgainMessage()) {
    form_->StartedAgain();
    return 0;
  }
  return std::nullopt;
}

void Win32Panel::OnIconEvent(UINT event, POINT at) {
  // Another program may post the message: without the icon there is no menu to open.
  if (!form_->Settings().trayIcon) return;
  // The program the user writes in: the foreground window as the pointer comes over the icon,
  // before a click gives the taskbar the foreground. The one before stays while the taskbar or
  // the panel has it.
  if (const HWND now = GetForegroundWindow(); OwnerOf(now) == WindowOwner::Other) beforeIcon_ = now;
  if (beforeIcon_ && !IsWindow(beforeIcon_)) beforeIcon_ = nullptr;
  switch (event) {
    case WM_LBUTTONDOWN:
      afterDoubleClick_ = false;
      return;
    case WM_LBUTTONDBLCLK:
      // The release of a double click's second press comes with NIN_SELECT too (Wine sends one
      // after every release): one choice, as a user who double-clicks an icon means it.
      afterDoubleClick_ = true;
      return;
    case NIN_SELECT:
      if (std::exchange(afterDoubleClick_, false)) return;
      break;
    case NIN_KEYSELECT: {
      // Windows may send it twice for one press of Enter: a second one within the double-click
      // time is the same choice. The time is the clock's: the shell sends these, and a sent
      // message leaves GetMessageTime at the panel's last queued one, which a hidden panel may
      // not get for hours.
      const ULONGLONG now = GetTickCount64();
      const bool repeated = now - lastKeySelect_ < GetDoubleClickTime();
      lastKeySelect_ = now;
      if (repeated) return;
      break;
    }
    case WM_CONTEXTMENU:
      OpenIconMenu(at);
      return;
    default:
      return;
  }
  const KeepForeground keep(beforeIcon_ ? beforeIcon_ : GetForegroundWindow());
  form_->IconClicked();
}

void Win32Panel::OpenIconMenu(POINT at) {
  ScopedMenu menu = MakeIconMenu();
  const KeepForeground keep(beforeIcon_ ? beforeIcon_ : GetForegroundWindow());
  loops_.before = keep.Remembered();
  // As the system asks of a notification icon's menu: its owner in the foreground, or the menu
  // gets no keys and stays open at a click elsewhere; and a message after it, so that the next
  // click is not lost.
  SetForegroundWindow(hwnd_);
  iconMenu_ = menu.get();
  const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  const auto command = static_cast<UINT>(
      TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | align, at.x, at.y, hwnd_, nullptr));
  iconMenu_ = nullptr;
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  if (const auto item = IconItemOf(command)) OnMenuChoice(*item);
}

void Win32Panel::AcceptShellMessages() {
  for (UINT message : {TaskbarCreatedMessage(), StartedAgainMessage(), TrayIcon::kMessage}) {
    ChangeWindowMessageFilterEx(hwnd_, message, MSGFLT_ALLOW, nullptr);
  }
}

void Win32Panel::Hide() {
  // A key's tooltip goes with the panel.
  if (tooltip_) SendMessageW(tooltip_, TTM_POP, 0, 0);
  ShowWindow(hwnd_, SW_HIDE);
}

bool Win32Panel::Visible() const { return IsWindowVisible(hwnd_) != FALSE; }

void Win32Panel::Close() { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

void Win32Panel::SetOpacity(std::optional<std::uint8_t> alpha) {
  const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
  if (!alpha) {
    if ((style & WS_EX_LAYERED) == 0) return;
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, style & ~WS_EX_LAYERED);
    // No longer composed by the system: drawn again whole.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return;
  }
  // LWA_ALPHA without WS_EX_TRANSPARENT: every pixel keeps taking the mouse, however faint.
  if ((style & WS_EX_LAYERED) == 0) SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, style | WS_EX_LAYERED);
  SetLayeredWindowAttributes(hwnd_, 0, *alpha, LWA_ALPHA);
}

bool Win32Panel::PointerOver() const {
  POINT pointer;
  RECT window;
  return GetCursorPos(&pointer) && GetWindowRect(hwnd_, &window) && PtInRect(&window, pointer);
}

bool Win32Panel::HighContrast() const { return colours_.highContrast; }

}  // namespace yg::win32
