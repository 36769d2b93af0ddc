#pragma once

#include <string_view>

namespace yg {

// A short note shown beside the panel that never takes the keyboard focus. Sizes and places are
// twips at the panel's scale, on the screen. No call fails: a tip that cannot be shown is not.
class TipWindow {
 public:
  virtual ~TipWindow() = default;

  struct Size {
    double width = 0, height = 0;
  };
  // The size the tip needs for `text`, wrapped to lines no wider than `maxWidth`.
  virtual Size Measure(std::u16string_view text, double maxWidth) = 0;
  // Shows the text there, in the measured size, above every other window; it goes by itself
  // after a few seconds.
  virtual void Show(std::u16string_view text, double left, double top, Size size) = 0;
  virtual void Hide() = 0;
};

}  // namespace yg
