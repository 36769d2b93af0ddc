#pragma once

#include <array>
#include <cstdint>

#include "base/control_id.h"

namespace yg {

// The five stroke keys: the picture that takes the mouse, the key it types on release, and the
// two pictures beneath it that hold its normal and pressed faces.
struct StrokeKey {
  ControlId control;
  std::int16_t vk;
  ControlId normalHolder;
  ControlId pressedHolder;
};

inline constexpr std::array<StrokeKey, 5> kStrokeKeys{{
    {Ctl::Image3, 72, Ctl::Image1, Ctl::Image2},     // H horizontal
    {Ctl::Image6, 73, Ctl::Image4, Ctl::Image5},     // I vertical
    {Ctl::Image9, 74, Ctl::Image7, Ctl::Image8},     // J left-falling
    {Ctl::Image12, 75, Ctl::Image10, Ctl::Image11},  // K dot
    {Ctl::Image15, 76, Ctl::Image13, Ctl::Image14},  // L turning
}};

}  // namespace yg
