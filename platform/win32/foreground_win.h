#pragma once

// Keeps the keyboard with the user's program across a box, a menu or a move loop of the panel.

#include <windows.h>

#include "panel/foreground.h"

namespace yg::win32 {

// Whose window `window` is: none, the panel's own program's, or another program's.
WindowOwner OwnerOf(HWND window) noexcept;

// Made just before a box, a menu or the system's move loop, it remembers the foreground window.
// When it ends it gives the foreground back to that window if the panel, another window of the
// panel's program or no window holds it instead. A closing box activates its owner, the panel,
// on Windows and under Wine; Wine's move loop activates the window it moves. The panel is then
// foreground, or its program took the last input (the click that ended the box or the loop), so
// Windows lets it hand the foreground on.
class KeepForeground {
 public:
  KeepForeground() noexcept;
  // Gives the foreground back to `remembered` instead: the window that held it when something
  // that came before began.
  explicit KeepForeground(HWND remembered) noexcept;
  ~KeepForeground();
  KeepForeground(const KeepForeground&) = delete;
  KeepForeground& operator=(const KeepForeground&) = delete;

  HWND Remembered() const noexcept { return remembered_; }

 private:
  HWND remembered_;
  WindowOwner rememberedOwner_;
};

}  // namespace yg::win32
