#pragma once

// WCAG 2's contrast ratio of two colours, from 1 (the same) to 21 (black on white); text needs
// 4.5 or more (AA). Shared by the unit tests and yg_scheme, which tells the end-to-end run.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace yg::testing {

struct Colour {
  std::uint8_t r, g, b;
};

inline double Luminance(Colour c) {
  const auto channel = [](std::uint8_t v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
}

inline double Contrast(Colour a, Colour b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

inline constexpr double kLegible = 4.5;

}  // namespace yg::testing
