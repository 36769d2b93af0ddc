#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "ports/displays.h"

namespace yg::win32 {

// What the compositor (DWM) says of a window's drawn frame: DWMWA_EXTENDED_FRAME_BOUNDS; nothing
// where it cannot tell (Wine has no compositor).
std::optional<RECT> CompositorFrame(HWND window);

// The monitors as the system lists them, in twips at the panel window's scale. The panel is
// aware of each monitor's DPI, so the system gives every rectangle in physical pixels.
class SystemDisplays : public Displays {
 public:
  std::vector<ScreenRect> WorkAreas() override;
  ScreenRect PanelBounds() override;

  // The panel window, whose scale the rectangles take; set once it exists.
  HWND panel = nullptr;
  // The frame the compositor draws for a shown window. Tests stand one in.
  std::function<std::optional<RECT>(HWND)> drawnFrame = CompositorFrame;
};

// A rectangle of physical pixels in twips at `dpi`.
ScreenRect ToScreenRect(const RECT& pixels, UINT dpi);

}  // namespace yg::win32
