#include "platform/win32/tray_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/win32/resource_ids.h"
#include "platform/win32/system_dll_win.h"

namespace yg::win32 {

namespace {

constexpr UINT kIconId = 1;

NOTIFYICONDATAW IconData(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = kIconId;
  return data;
}

// shell32 is loaded when the icon is first shown, not with the program: a panel without the icon
// never needs it, and loading it (with shlwapi and shcore behind it) costs start-up time.
BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW& data) {
  static const auto notify = SystemFunction<decltype(&Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
  return notify && notify(message, &data);
}

}  // namespace

void TrayIcon::Add(std::u16string_view tip) {
  if (!icon_) {
    // The small icon at the system's DPI, which is the taskbar's: 16 pixels at 100% up to 32 at
    // 200%, each size drawn for itself in the resource.
    HICON icon = nullptr;
    if (SUCCEEDED(LoadIconMetric(instance_, MAKEINTRESOURCEW(YG_IDI_PANEL), LIM_SMALL, &icon))) icon_.reset(icon);
  }
  NOTIFYICONDATAW data = IconData(window);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  data.uCallbackMessage = kMessage;
  data.hIcon = icon_.get();
  const std::size_t length = std::min(tip.size(), std::size(data.szTip) - 1);
  std::copy_n(tip.begin(), length, data.szTip);
  // After Explorer started again the icon is gone; when the panel hears of a new taskbar twice,
  // it is still there and only changes.
  BOOL added = NotifyIcon(NIM_ADD, data);
  if (!added) added = NotifyIcon(NIM_MODIFY, data);
  data.uVersion = NOTIFYICON_VERSION_4;
  if (added) NotifyIcon(NIM_SETVERSION, data);
  shown_ = added != FALSE;
}

void TrayIcon::Remove() {
  if (!shown_) return;
  NOTIFYICONDATAW data = IconData(window);
  NotifyIcon(NIM_DELETE, data);
  shown_ = false;
}

}  // namespace yg::win32
