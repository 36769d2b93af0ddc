#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "resources/raster.h"

namespace yg {
namespace {

Polygon Box(double left, double top, double right, double bottom) {
  return {{left, top}, {left, bottom}, {right, bottom}, {right, top}};
}

double Total(const Coverage& c) { return std::accumulate(c.cover.begin(), c.cover.end(), 0.0); }

struct AreaCase {
  const char* what;
  std::vector<Polygon> polygons;
  double area;  // covered, in pixels
};

TEST(Rasterise, SmoothCoverageAddsUpToTheAreaCoveredOnce) {
  const AreaCase cases[] = {
      {"a box on pixel edges", {Box(1, 1, 4, 3)}, 6},
      {"a box off them", {Box(1.25, 0.5, 3.75, 2.5)}, 5},
      {"a triangle", {{{0, 0}, {6, 0}, {0, 6}}}, 18},
      {"two boxes overlapping", {Box(1, 1, 5, 5), Box(3, 3, 7, 7)}, 28},
      {"the same box twice", {Box(2.5, 2.5, 5.5, 5.5), Box(2.5, 2.5, 5.5, 5.5)}, 9},
      {"a box partly outside", {Box(-3, -3, 2, 2)}, 4},
  };
  for (const AreaCase& c : cases) {
    const Coverage cover = Rasterise(c.polygons, 8, 8, Sampling::Smooth);
    EXPECT_NEAR(Total(cover), c.area, 1e-3) << c.what;
    for (float v : cover.cover) {
      EXPECT_GE(v, 0.0f) << c.what;
      EXPECT_LE(v, 1.0f) << c.what;
    }
  }
}

TEST(Rasterise, EdgesOnPixelBordersStaySharpAndOthersBlend) {
  const Polygon box = Box(1, 1, 3.5, 2.25);
  const Coverage smooth = Rasterise(std::span(&box, 1), 5, 4, Sampling::Smooth);
  EXPECT_FLOAT_EQ(smooth.At(1, 1), 1.0f);
  EXPECT_FLOAT_EQ(smooth.At(2, 1), 1.0f);
  EXPECT_FLOAT_EQ(smooth.At(3, 1), 0.5f);   // half of it
  EXPECT_FLOAT_EQ(smooth.At(1, 2), 0.25f);  // a quarter of it
  EXPECT_FLOAT_EQ(smooth.At(0, 1), 0.0f);
  EXPECT_FLOAT_EQ(smooth.At(1, 0), 0.0f);
}

TEST(Rasterise, BiLevelTakesThePixelsWhoseCentresAreCovered) {
  // A sliver covering most of a pixel but not its centre, and a thin one through centres.
  const std::vector<Polygon> polygons = {Box(0, 0, 0.45, 3), Box(2.4, 0, 2.6, 3), {{{4, 0}, {7.2, 3}, {4, 3}}}};
  const Coverage cover = Rasterise(polygons, 8, 3, Sampling::BiLevel);
  const char* expected[] = {
      "..#.#...",
      "..#.##..",
      "..#.###.",
  };
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(cover.At(x, y), expected[y][x] == '#' ? 1.0f : 0.0f) << x << "," << y;
}

TEST(Rasterise, RefusesPointsThatAreNotNumbers) {
  const Polygon bad = {{0, 0}, {std::nan(""), 1}, {1, 1}};
  EXPECT_THROW(Rasterise(std::span(&bad, 1), 2, 2, Sampling::Smooth), std::invalid_argument);
}

}  // namespace
}  // namespace yg
