#pragma once

// Who gets the keyboard when a box, a menu or a move loop of the panel is over.

#include <cstdint>

namespace yg {

// Whose window a window is, as far as the keyboard is concerned.
enum class WindowOwner : std::uint8_t {
  None,   // no window
  Panel,  // the panel or any other window of the panel's own program (its boxes and menus)
  Other,  // a window of another program
  // The taskbar, where the notification area is: a click on the panel's icon there makes it the
  // foreground window, which no user writes in.
  Taskbar,
};

struct ForegroundChange {
  WindowOwner before;      // whose window was foreground when the box, menu or loop began
  bool beforeStillExists;  // that window is still there
  WindowOwner now;         // whose window is foreground now that it is over
};

// True when the foreground must go back to the window that held it before: the user's program
// had it, still exists, and the panel, the taskbar or nobody holds it now. A program the user
// went to meanwhile keeps it.
bool GiveForegroundBack(const ForegroundChange& change) noexcept;

}  // namespace yg
