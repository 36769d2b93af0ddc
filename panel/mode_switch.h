#pragma once

#include <string_view>

#include "ports/controls.h"
#include "ports/panel_window.h"

namespace yg {

// The mode lives in the caption of Command2: it names the switch a click will make.
inline constexpr std::u16string_view kExpandedCaption = u"-";  // expanded; a click shrinks the panel
inline constexpr std::u16string_view kCompactCaption = u"+";   // compact; a click expands it

// The click of Command2: from expanded to compact or back, by the caption it reads. Any other
// caption changes nothing.
void SwitchMode(Controls& controls, PanelWindow& window);

}  // namespace yg
