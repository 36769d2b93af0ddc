#pragma once

// A small polygon rasteriser: how much of each pixel a set of polygons covers, by the non-zero
// winding rule, so that overlapping polygons cover a pixel once.

#include <span>
#include <vector>

namespace yg {

struct Point {
  double x, y;
};

// A closed polygon in pixel coordinates: (0, 0) is the top-left corner of the top-left pixel.
using Polygon = std::vector<Point>;

enum class Sampling {
  Smooth,   // the share of each pixel covered, 0 to 1: edges that cross a pixel blend
  BiLevel,  // 1 where the pixel's centre is covered, else 0: no blending at all
};

// Coverage of a width x height grid, row-major, top row first.
struct Coverage {
  int width = 0, height = 0;
  std::vector<float> cover;

  Coverage(int w, int h);
  float At(int x, int y) const { return cover[static_cast<std::size_t>(y) * width + x]; }
};

Coverage Rasterise(std::span<const Polygon> polygons, int width, int height, Sampling sampling);

}  // namespace yg
