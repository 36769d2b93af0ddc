#include "resources/raster.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace yg {

namespace {

// Smooth sampling cuts each pixel row into this many lines and measures along each exactly.
constexpr int kSubRows = 16;

struct Edge {
  double x0, y0, x1, y1;  // y0 < y1
  int winding;            // +1 downwards, -1 upwards
};

struct Crossing {
  double x;
  int winding;
};

std::vector<Edge> EdgesOf(std::span<const Polygon> polygons) {
  std::vector<Edge> edges;
  for (const Polygon& polygon : polygons) {
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      const Point a = polygon[i], b = polygon[(i + 1) % polygon.size()];
      if (!std::isfinite(a.x) || !std::isfinite(a.y)) throw std::invalid_argument("rasterise: point not finite");
      if (a.y == b.y) continue;  // crosses no scan line
      edges.push_back(a.y < b.y ? Edge{a.x, a.y, b.x, b.y, 1} : Edge{b.x, b.y, a.x, a.y, -1});
    }
  }
  return edges;
}

// The spans of one scan line inside the polygons, left to right, as [from, to).
template <class Span>
void ForEachSpan(const std::vector<Edge>& edges, double y, std::vector<Crossing>& crossings, Span span) {
  crossings.clear();
  for (const Edge& e : edges) {
    if (y < e.y0 || y >= e.y1) continue;
    crossings.push_back({e.x0 + (y - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.winding});
  }
  std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
  int winding = 0;
  for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
    winding += crossings[i].winding;
    if (winding != 0 && crossings[i + 1].x > crossings[i].x) span(crossings[i].x, crossings[i + 1].x);
  }
}

}  // namespace

Coverage::Coverage(int w, int h) : width(w), height(h) {
  if (w < 0 || h < 0) throw std::invalid_argument("coverage: negative size");
  cover.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0.0f);
}

Coverage Rasterise(std::span<const Polygon> polygons, int width, int height, Sampling sampling) {
  Coverage coverage(width, height);
  const std::vector<Edge> edges = EdgesOf(polygons);
  std::vector<Crossing> crossings;
  const int lines = sampling == Sampling::Smooth ? kSubRows : 1;
  const float weight = 1.0f / static_cast<float>(lines);
  for (int row = 0; row < height; ++row) {
    float* cover = coverage.cover.data() + static_cast<std::size_t>(row) * width;
    for (int line = 0; line < lines; ++line) {
      const double y = row + (line + 0.5) / lines;
      ForEachSpan(edges, y, crossings, [&](double from, double to) {
        from = std::clamp(from, 0.0, static_cast<double>(width));
        to = std::clamp(to, 0.0, static_cast<double>(width));
        if (sampling == Sampling::BiLevel) {
          // The pixels whose centres lie in [from, to).
          for (int x = static_cast<int>(std::ceil(from - 0.5)); x + 0.5 < to; ++x) cover[x] = 1.0f;
          return;
        }
        for (int x = static_cast<int>(from); x < width && x < to; ++x)
          cover[x] += weight * static_cast<float>(std::min(to, x + 1.0) - std::max(from, static_cast<double>(x)));
      });
    }
    for (int x = 0; x < width; ++x) cover[x] = std::min(cover[x], 1.0f);
  }
  return coverage;
}

}  // namespace yg
