#pragma once

#include <optional>

#include "ports/keyboard_layouts.h"

namespace yg {

// Whether the keys the panel synthesises can reach the program that has the keyboard.
enum class KeyReach {
  Reaches,
  Blocked,  // the program runs at a higher integrity level (as administrator): the system drops
            // the keys without telling anyone
  Unknown,  // the system would not say (a protected process, no foreground window)
};

// The program the panel types into: the one whose window is in the foreground. Neither call
// fails.
class KeyTarget {
 public:
  virtual ~KeyTarget() = default;

  virtual KeyReach KeysReachFocus() = 0;
  // The keyboard layout of the thread that owns the foreground window; nothing when there is no
  // foreground window.
  virtual std::optional<LayoutHandle> Layout() = 0;
};

}  // namespace yg
