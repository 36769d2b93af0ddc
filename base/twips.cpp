#include "base/twips.h"

#include <cmath>

namespace yg {

int TwipsToPixels(double twips, unsigned dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

double PixelsToTwips(int pixels, unsigned dpi) { return static_cast<double>(pixels) * kTwipsPerInch / dpi; }

PixelBox ToPixelBox(double left, double top, double width, double height, unsigned dpi) {
  return {TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(left + width, dpi),
          TwipsToPixels(top + height, dpi)};
}

}  // namespace yg
