#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/control_id.h"

namespace yg {

struct Rgb {
  std::uint8_t r, g, b;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

// The properties of the panel's controls that handlers read and change at run time.
// Positions and sizes are twips within the control's container. A failure raises PanelError.
class Controls {
 public:
  virtual ~Controls() = default;

  virtual std::u16string Caption(ControlId control) const = 0;
  virtual void SetCaption(ControlId control, std::u16string_view caption) = 0;
  // Shows on `picture` the picture that `holder` holds.
  virtual void ShowPictureOf(ControlId picture, ControlId holder) = 0;
  virtual void SetBackColor(ControlId control, Rgb color) = 0;
  // Hiding a frame hides everything in it.
  virtual void SetVisible(ControlId control, bool visible) = 0;
  virtual void SetLeft(ControlId control, float twips) = 0;
  virtual void SetHeight(ControlId control, float twips) = 0;
  virtual void SetFocus(ControlId control) = 0;
  // Appends an entry at the end of a drop-down list.
  virtual void AddListEntry(ControlId list, std::u16string_view entry) = 0;
  // Shows on a key how much of the wait of the pointer resting on it has passed, from 0 to 1.
  // One key at a time shows it; HideRestMark takes it away.
  virtual void ShowRestMark(ControlId control, double done) = 0;
  virtual void HideRestMark() = 0;
};

}  // namespace yg
