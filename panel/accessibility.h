#pragma once

// What a screen reader is told about each control: the role it announces, the name it reads and
// what the control's default action does. None of it is drawn on the panel.

#include <cstdint>
#include <string_view>

#include "base/control_id.h"

namespace yg {

enum class AccessibleRole : std::uint8_t {
  None,        // kept out of a screen reader's way: the window is never shown
  PushButton,
  Grouping,
};

enum class AccessibleAction : std::uint8_t {
  None,
  Click,          // the button's Click
  StrokeRelease,  // what the release of a stroke key does: its normal picture, one tap of its key
};

struct AccessibleFace {
  ControlId control;
  AccessibleRole role;
  std::u16string_view name;  // empty: the control's caption, read when it is asked for
  AccessibleAction action;
};

// The face of a control of the layout; SubscriptOutOfRange for a control the panel lacks.
AccessibleFace AccessibleFaceOf(ControlId control);

// The name of the default action a screen reader announces for every key.
inline constexpr std::u16string_view kDefaultActionName = u"按下";

}  // namespace yg
