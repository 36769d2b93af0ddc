#include "platform/win32/tray_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/win32/resource_ids.h"

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
  BOOL added = Shell_NotifyIconW(NIM_ADD, &data);
  if (!added) added = Shell_NotifyIconW(NIM_MODIFY, &data);
  data.uVersion = NOTIFYICON_VERSION_4;
  if (added) Shell_NotifyIconW(NIM_SETVERSION, &data);
  shown_ = added != FALSE;
}

void TrayIcon::Remove() {
  if (!shown_) return;
  NOTIFYICONDATAW data = IconData(window);
  Shell_NotifyIconW(NIM_DELETE, &data);
  shown_ = false;
}

}  // namespace yg::win32
