#pragma once

#include <windows.h>

#include "ports/displays.h"

namespace yg::win32 {

// The monitors as the system lists them, in twips at the panel window's scale. The panel is
// aware of each monitor's DPI, so the system gives every rectangle in physical pixels.
class SystemDisplays : public Displays {
 public:
  std::vector<ScreenRect> WorkAreas() override;
  ScreenRect PanelBounds() override;

  // The panel window, whose scale the rectangles take; set once it exists.
  HWND panel = nullptr;
};

// A rectangle of physical pixels in twips at `dpi`.
ScreenRect ToScreenRect(const RECT& pixels, UINT dpi);

}  // namespace yg::win32
