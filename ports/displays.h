#pragma once

#include <vector>

namespace yg {

// A rectangle on the screen, in twips at the panel's scale: left and top inside, right and
// bottom just outside. The primary monitor's top-left corner is 0, 0; other monitors may lie at
// negative coordinates.
struct ScreenRect {
  double left = 0, top = 0, right = 0, bottom = 0;
  double Width() const { return right - left; }
  double Height() const { return bottom - top; }
  friend constexpr bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// The monitors the panel can stand on. Neither call fails: what the system cannot tell is left
// out.
class Displays {
 public:
  virtual ~Displays() = default;

  // The work area of every monitor (the monitor less the taskbar and other docked bars), the
  // primary monitor's first; empty when the system cannot tell.
  virtual std::vector<ScreenRect> WorkAreas() = 0;
  // The panel window's outline as the user sees it, frame and title bar included.
  virtual ScreenRect PanelBounds() = 0;
};

}  // namespace yg
