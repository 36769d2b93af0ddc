#include "panel/mode_switch.h"

#include <array>
#include <span>

#include "base/checked.h"
#include "base/control_id.h"

namespace yg {

namespace {

enum class Op : std::uint8_t {
  PanelHeight,  // the panel's outer height := value
  PanelWidth,   // the panel's outer width := value
  PanelLeftBy,  // the panel's left edge moves by value
  Left,         // the control's left := value
  Show,
  Hide,
  Caption,  // the control's caption := text
  Height,   // the control's height := value
};

struct ModeStep {
  Op op;
  ControlId control{};
  float value = 0;
  std::u16string_view text{};
};

// Compact keeps the stroke pad, the candidate keys and the upper editing column; the panel's
// right edge stays where a 5860-wide panel has it. Top never changes, so the window shrinks and
// grows at its bottom edge.
constexpr std::array kToCompact{
    ModeStep{Op::PanelHeight, {}, 1450},
    ModeStep{Op::PanelWidth, {}, 2840},
    ModeStep{Op::Left, Ctl::Frame4, 0},
    ModeStep{Op::Left, Ctl::Frame6, 1835},
    ModeStep{Op::Hide, Ctl::Frame1},
    ModeStep{Op::Hide, Ctl::Command19},
    ModeStep{Op::Hide, Ctl::Command29},
    ModeStep{Op::Hide, Ctl::Command35},
    ModeStep{Op::PanelLeftBy, {}, 3020},
    ModeStep{Op::Caption, Ctl::Command2, 0, kCompactCaption},
    ModeStep{Op::Height, Ctl::Command5, 1120},  // the height of the four editing keys' column
};

// Back to expanded: 5860 wide, not the start-up 5840, and Frame6 at 4860, not 4830.
constexpr std::array kToExpanded{
    ModeStep{Op::PanelHeight, {}, 1800},
    ModeStep{Op::PanelWidth, {}, 5860},
    ModeStep{Op::PanelLeftBy, {}, -3020},
    ModeStep{Op::Show, Ctl::Frame1},
    ModeStep{Op::Left, Ctl::Frame4, 3000},
    ModeStep{Op::Left, Ctl::Frame6, 4860},
    ModeStep{Op::Show, Ctl::Command19},
    ModeStep{Op::Show, Ctl::Command29},
    ModeStep{Op::Show, Ctl::Command35},
    ModeStep{Op::Caption, Ctl::Command2, 0, kExpandedCaption},
    ModeStep{Op::Height, Ctl::Command5, 1440},
};

void Apply(std::span<const ModeStep> steps, Controls& controls, PanelWindow& window) {
  for (const ModeStep& s : steps) {
    switch (s.op) {
      case Op::PanelHeight: window.SetHeight(s.value); break;
      case Op::PanelWidth: window.SetWidth(s.value); break;
      case Op::PanelLeftBy:
        window.SetLeft(StoreSingle(static_cast<double>(window.Left()) + s.value));
        break;
      case Op::Left: controls.SetLeft(s.control, s.value); break;
      case Op::Show: controls.SetVisible(s.control, true); break;
      case Op::Hide: controls.SetVisible(s.control, false); break;
      case Op::Caption: controls.SetCaption(s.control, s.text); break;
      case Op::Height: controls.SetHeight(s.control, s.value); break;
    }
  }
}

}  // namespace

void SwitchMode(Controls& controls, PanelWindow& window) {
  const std::u16string caption = controls.Caption(Ctl::Command2);
  if (caption == kExpandedCaption) {
    Apply(kToCompact, controls, window);
  } else if (caption == kCompactCaption) {
    Apply(kToExpanded, controls, window);
  }
}

}  // namespace yg
