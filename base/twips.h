#pragma once

// Twips and pixels. All geometry of the panel is in twips, 1/1440 inch; a window shows it in
// whole pixels at its DPI (15 twips a pixel at 96 DPI, 12 at 120, 10 at 144).

namespace yg {

inline constexpr int kTwipsPerInch = 1440;

// Rounded to the nearest pixel, halves away from zero.
int TwipsToPixels(double twips, unsigned dpi);
double PixelsToTwips(int pixels, unsigned dpi);

// A box of whole pixels: left and top inside, right and bottom just outside.
struct PixelBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend constexpr bool operator==(const PixelBox&, const PixelBox&) = default;
};

// A box given in twips by its left, top, width and height, in pixels. Every edge is rounded
// from its own place in twips (right from left + width), never a size on its own, so that
// boxes whose edges touch in twips touch in pixels too, at every DPI.
PixelBox ToPixelBox(double left, double top, double width, double height, unsigned dpi);

}  // namespace yg
