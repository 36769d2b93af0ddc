#pragma once

#include <string_view>

namespace yg {

// The panel's icon in the notification area of the taskbar. A click on it comes to
// Form1::IconClicked, a choice from its menu to Form1::MenuChosen. Neither call fails.
class NotificationIcon {
 public:
  virtual ~NotificationIcon() = default;

  // Shows the icon with `tip`, or puts it back after Explorer started again. Where there is no
  // notification area yet (Explorer has not started), Form1::TaskbarCreated comes once there is.
  virtual void Add(std::u16string_view tip) = 0;
  // Takes the icon away; nothing when it is not shown.
  virtual void Remove() = 0;
};

}  // namespace yg
