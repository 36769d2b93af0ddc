#pragma once

#include <windows.h>

#include "platform/win32/scoped_win.h"
#include "ports/notification_icon.h"

namespace yg::win32 {

// The panel's icon in the notification area, as the system's small icon at the taskbar's scale.
// Its clicks come to the panel window as kMessage, in the manner of NOTIFYICON_VERSION_4: the
// event in the low word of lParam, the pointer's place on the screen in wParam.
class TrayIcon final : public NotificationIcon {
 public:
  static constexpr UINT kMessage = WM_APP + 1;

  explicit TrayIcon(HINSTANCE instance) : instance_(instance) {}
  // The panel may end without Remove (its error report ends the process); the icon goes in any
  // case.
  ~TrayIcon() override { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void Add(std::u16string_view tip) override;
  void Remove() override;

  // The panel window; set once it exists.
  HWND window = nullptr;

 private:
  HINSTANCE instance_;
  ScopedIcon icon_;
  bool shown_ = false;
};

}  // namespace yg::win32
