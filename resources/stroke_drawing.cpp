#include "resources/stroke_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <vector>

#include "resources/raster.h"

namespace yg {

namespace {

using enum PictureInk;

// ---------------------------------------------------------------------------------------------
// The drawings, on the design's grid: x 0 to 25 from the left, y 0 to 37 from the top; the
// design's pixel (x, y) is the square from (x, y) to (x + 1, y + 1).

// The key's edge: filled rectangles of whole design pixels, both corners inclusive, painted in
// order, later rows over earlier ones.
struct Rect {
  int left, top, right, bottom;
  PictureInk ink;
};

// Raised: a two-pixel lit edge along the top and left and a shaded one along the bottom and
// right; where they meet, at the top right and the bottom left, a blend softens the change.
constexpr Rect kRaisedKey[] = {
    {0, 0, 24, 36, Outline},
    {1, 1, 23, 2, Highlight},   // top edge
    {1, 1, 2, 35, Highlight},   // left edge
    {3, 34, 23, 35, Shadow},    // bottom edge
    {22, 3, 23, 35, Shadow},    // right edge
    {22, 1, 23, 2, Blend},      // where top meets right
    {1, 34, 2, 35, Blend},      // where left meets bottom
    {3, 3, 21, 33, Face},
    {0, 0, 0, 0, Corner},       // the outline's corners are rounded off
    {24, 0, 24, 0, Corner},
    {0, 36, 0, 36, Corner},
    {24, 36, 24, 36, Corner},
};

// Sunken: the shadow falls on the top and left inside the outline; only the corners on the
// light's diagonal are rounded off, which keeps the key looking pushed in.
constexpr Rect kSunkenKey[] = {
    {0, 0, 24, 36, Outline},
    {1, 1, 23, 1, Shadow},
    {1, 1, 1, 35, Shadow},
    {2, 2, 23, 35, Face},
    {0, 0, 0, 0, Corner},
    {24, 36, 24, 36, Corner},
};

// What is drawn on the face. A pen is a flat nib `width` design pixels wide drawn along a line
// through `points`: held level for strokes that run down the key (points from the top down),
// held upright for strokes that run across it (points from left to right). A fill is a polygon,
// for shapes no such pen draws: a dot that swells, a stroke that tapers.
enum class Tool : std::uint8_t { LevelPen, UprightPen, Fill };

struct Shape {
  Tool tool;
  PictureInk ink;
  double width;  // of the nib; none for a fill
  std::array<Point, 12> points{};
  std::size_t count = 0;

  constexpr Shape(Tool t, PictureInk i, double w, std::initializer_list<Point> p) : tool(t), ink(i), width(w) {
    for (Point q : p) points.at(count++) = q;
  }
  std::span<const Point> Points() const { return {points.data(), count}; }
};

constexpr Shape Down(PictureInk ink, double width, std::initializer_list<Point> points) {
  return {Tool::LevelPen, ink, width, points};
}
constexpr Shape Across(PictureInk ink, double width, std::initializer_list<Point> points) {
  return {Tool::UprightPen, ink, width, points};
}
constexpr Shape Fill(PictureInk ink, std::initializer_list<Point> points) {
  return {Tool::Fill, ink, 0, points};
}

// Strokes that join meet without a seam at any size: one ends on the other's middle line, or
// where the other ends; at a corner, the one that ends there starts flush with the other's
// side.

// Horizontal, ending in the pen's press; a rising stroke; H.
constexpr Shape kHDrawing[] = {
    Across(Stroke, 1, {{5, 9.5}, {20, 9.5}}),
    Across(Stroke, 2, {{17, 10}, {20, 10}}),
    Fill(Variant, {{11, 25}, {18, 22.2}, {18, 22.85}, {11, 26.35}}),
    Down(Letter, 1, {{3.5, 26}, {3.5, 33}}),
    Down(Letter, 1, {{7.5, 26}, {7.5, 33}}),
    Across(Letter, 1, {{3.5, 29.5}, {7.5, 29.5}}),
};

// Vertical with the pen's entry at its top right and a thin foot; a vertical with a hook to
// the left at its foot; I.
constexpr Shape kIDrawing[] = {
    Down(Stroke, 2, {{12, 5}, {12, 17}}),
    Across(Stroke, 1, {{12, 5.5}, {14, 5.5}}),
    Down(Stroke, 1, {{11.5, 17}, {11.5, 18}}),
    Down(Variant, 1, {{16.5, 20}, {16.5, 30}}),
    Down(Variant, 1, {{14, 27}, {16.5, 29.5}}),
    Down(Letter, 1, {{5.5, 26}, {5.5, 33}}),
};

// Left-falling: down, then curving away to the lower left, thin where the pen enters and where
// it leaves; J with its hook.
constexpr Shape kJDrawing[] = {
    Down(Stroke, 2, {{14, 6}, {14, 10}, {12, 14.5}, {8.5, 18}}),
    Down(Stroke, 1, {{14.5, 5}, {14.5, 6}}),
    Down(Stroke, 1, {{8.5, 18}, {8.5, 19}}),
    Across(Letter, 1, {{4, 26.5}, {6.5, 26.5}}),
    Down(Letter, 1, {{6.5, 26}, {6.5, 32}}),
    Across(Letter, 1, {{3, 31.3}, {4.2, 32.5}, {5.5, 32.5}, {6.5, 31.5}}),
};

// A dot swelling as it falls to the right; a right-falling stroke widening to its flat foot; K.
constexpr Shape kKDrawing[] = {
    Fill(Stroke, {{9.6, 8}, {11, 8.5}, {15, 10.5}, {16, 11.5}, {16.3, 12.8}, {15.6, 14.1}, {14, 14},
                  {12.2, 11.5}, {11.8, 9.9}}),
    Fill(Variant, {{10.7, 20}, {11.5, 20}, {16, 24.5}, {18, 25.5}, {18, 28}, {17.5, 28}, {12.2, 22.5}}),
    Down(Letter, 1, {{4.5, 26}, {4.5, 33}}),
    Down(Letter, 1, {{9, 26}, {4.5, 30.5}}),
    Down(Letter, 1, {{4.5, 28.5}, {9, 33}}),
};

// Down, then right; right, then down; a vertical whose foot ticks up to the right; L.
constexpr Shape kLDrawing[] = {
    Down(Stroke, 2, {{9, 5}, {9, 15}}),
    Across(Stroke, 2, {{8, 15}, {16, 15}}),
    Across(Variant, 1, {{6, 21.5}, {12.5, 21.5}}),
    Down(Variant, 1, {{12.5, 21}, {12.5, 29}}),
    Down(Variant, 1, {{16.5, 23}, {16.5, 31}}),
    Down(Variant, 1, {{20, 27}, {16, 31}}),
    Down(Letter, 1, {{4.5, 26}, {4.5, 32.5}}),
    Across(Letter, 1, {{4, 32.5}, {8, 32.5}}),
};

struct KeyDrawing {
  StrokePicture normal, pressed;
  std::span<const Shape> shapes;
};

constexpr KeyDrawing kKeyDrawings[] = {
    {StrokePicture::HNormal, StrokePicture::HPressed, kHDrawing},
    {StrokePicture::INormal, StrokePicture::IPressed, kIDrawing},
    {StrokePicture::JNormal, StrokePicture::JPressed, kJDrawing},
    {StrokePicture::KNormal, StrokePicture::KPressed, kKDrawing},
    {StrokePicture::LNormal, StrokePicture::LPressed, kLDrawing},
};

// The inks drawn on the face, in the order they are laid on.
constexpr PictureInk kFaceInks[] = {Stroke, Variant, Letter};

// ---------------------------------------------------------------------------------------------
// From the design's grid to pixels

int Round(double v) { return static_cast<int>(std::floor(v + 0.5)); }

// One axis of a picture `pixels` long. The drawing on the face is scaled evenly with the key.
// The key's edge keeps whole pixels: the outline and the pressed key's shaded line are each one
// design pixel, scaled and rounded (at least one pixel), and the raised key's bevel ends where
// the design's third pixel does, rounded, so that the face holds the drawing at every size.
class Axis {
 public:
  Axis(int pixels, int design) : pixels_(pixels), design_(design), scale_(static_cast<double>(pixels) / design) {
    const int one = std::max(1, Round(scale_));
    near_ = {0, one, 2 * one, std::max(2 * one, Round(3 * scale_))};
  }

  // A coordinate of the drawing in pixels.
  double Map(double c) const { return c * scale_; }
  // An edge of the key's frame, in whole pixels.
  int Edge(int c) const {
    if (c < static_cast<int>(near_.size())) return near_[c];
    if (design_ - c < static_cast<int>(near_.size())) return pixels_ - near_[design_ - c];
    return Round(Map(c));
  }
  double Scale() const { return scale_; }
  // The pressed key's drawing moves by one design pixel of the frame.
  int Step() const { return near_[1]; }

 private:
  int pixels_, design_;
  double scale_;
  std::array<int, 4> near_{};  // the edges of the design's first four pixels
};

// Points given as (along the pen's line, across it) for a level pen, (across, along) upright.
struct PenAxes {
  const Axis& nibAxis;   // the axis the nib lies along
  const Axis& lineAxis;  // the axis the pen moves along
  bool level;
  double Across(Point p) const { return level ? p.x : p.y; }
  double Along(Point p) const { return level ? p.y : p.x; }
  Point Join(double across, double along) const { return level ? Point{across, along} : Point{along, across}; }
};

// The outline a pen draws, in pixels. The nib is a whole number of pixels wide. Where the line
// runs straight down (level) or across (upright), the stroke's sides lie on pixel edges: its
// left (or top) side where the design's edge falls, rounded like the key's edges and the
// stroke's two ends, so that strokes which share an edge in the design share it in pixels.
// Elsewhere the line keeps its scaled place.
Polygon PenOutline(const Shape& shape, const Axis& x, const Axis& y) {
  const PenAxes axes{shape.tool == Tool::LevelPen ? x : y, shape.tool == Tool::LevelPen ? y : x,
                     shape.tool == Tool::LevelPen};
  const std::span<const Point> line = shape.Points();
  const double nib = std::max(1, Round(shape.width * axes.nibAxis.Scale()));
  std::vector<Point> centre;  // (across, along) in pixels
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (i > 0 && axes.Along(line[i]) <= axes.Along(line[i - 1]))
      throw std::logic_error("stroke picture: a pen's line turns back");
    double along = axes.lineAxis.Map(axes.Along(line[i]));
    if (i == 0 || i + 1 == line.size()) along = Round(along);
    const double design = axes.Across(line[i]);
    double across = axes.nibAxis.Map(design);
    const bool straight = (i > 0 && axes.Across(line[i - 1]) == axes.Across(line[i])) ||
                          (i + 1 < line.size() && axes.Across(line[i + 1]) == axes.Across(line[i]));
    if (straight) across = Round(axes.nibAxis.Map(design - shape.width / 2)) + nib / 2;
    centre.push_back({across, along});
  }
  // Down the level pen's left side, or along the upright pen's lower side, then back.
  const double first = axes.level ? -nib / 2 : nib / 2;
  Polygon outline;
  for (const Point& c : centre) outline.push_back(axes.Join(c.x + first, c.y));
  for (auto c = centre.rbegin(); c != centre.rend(); ++c) outline.push_back(axes.Join(c->x - first, c->y));
  return outline;
}

// Twice the signed area; the pens' outlines run with it negative.
double SignedArea(const Polygon& p) {
  double sum = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const Point a = p[i], b = p[(i + 1) % p.size()];
    sum += a.x * b.y - b.x * a.y;
  }
  return sum;
}

Polygon FillInPixels(const Shape& shape, const Axis& x, const Axis& y) {
  Polygon outline;
  for (Point p : shape.Points()) outline.push_back({x.Map(p.x), y.Map(p.y)});
  // All one way round, so that where shapes overlap the winding adds up instead of cancelling.
  if (SignedArea(outline) > 0) std::reverse(outline.begin(), outline.end());
  return outline;
}

std::uint32_t Pack(Rgb c) { return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b; }

std::uint32_t Mix(std::uint32_t under, Rgb over, float share) {
  if (share <= 0) return under;
  if (share >= 1) return Pack(over);
  const auto channel = [share](std::uint32_t a, std::uint32_t b) {
    return static_cast<std::uint32_t>(std::lround(a + (static_cast<double>(b) - a) * share));
  };
  return channel(under >> 16 & 0xFF, over.r) << 16 | channel(under >> 8 & 0xFF, over.g) << 8 |
         channel(under & 0xFF, over.b);
}

}  // namespace

Bitmap RenderStrokePicture(StrokePicture picture, int width, int height, const PicturePalette& palette) {
  const auto key = std::find_if(std::begin(kKeyDrawings), std::end(kKeyDrawings), [picture](const KeyDrawing& k) {
    return picture == k.normal || picture == k.pressed;
  });
  if (key == std::end(kKeyDrawings)) throw std::invalid_argument("stroke picture: none to draw");
  if (width < kStrokePictureWidth || height < kStrokePictureHeight)
    throw std::invalid_argument("stroke picture: smaller than its design");
  const bool pressed = picture == key->pressed;
  const Axis x(width, kStrokePictureWidth), y(height, kStrokePictureHeight);

  Bitmap bitmap(width, height, Pack(InkColour(palette, Face)));
  for (const Rect& r : pressed ? std::span<const Rect>(kSunkenKey) : std::span<const Rect>(kRaisedKey)) {
    const std::uint32_t colour = Pack(InkColour(palette, r.ink));
    for (int py = y.Edge(r.top); py < y.Edge(r.bottom + 1); ++py)
      for (int px = x.Edge(r.left); px < x.Edge(r.right + 1); ++px) bitmap.At(px, py) = colour;
  }

  // A pressed key's drawing is the raised key's, moved right and down by whole pixels.
  const double dx = pressed ? x.Step() : 0, dy = pressed ? y.Step() : 0;
  const bool designSize = width == kStrokePictureWidth && height == kStrokePictureHeight;
  for (PictureInk ink : kFaceInks) {
    std::vector<Polygon> polygons;
    for (const Shape& shape : key->shapes) {
      if (shape.ink != ink) continue;
      Polygon p = shape.tool == Tool::Fill ? FillInPixels(shape, x, y) : PenOutline(shape, x, y);
      for (Point& q : p) q = {q.x + dx, q.y + dy};
      polygons.push_back(std::move(p));
    }
    const Coverage cover =
        Rasterise(polygons, width, height, designSize ? Sampling::BiLevel : Sampling::Smooth);
    for (int py = 0; py < height; ++py)
      for (int px = 0; px < width; ++px) bitmap.At(px, py) = Mix(bitmap.At(px, py), InkColour(palette, ink), cover.At(px, py));
  }
  return bitmap;
}

Bitmap DrawStrokePicture(StrokePicture picture) {
  return RenderStrokePicture(picture, kStrokePictureWidth, kStrokePictureHeight, PicturePaletteFor(SystemColours{}));
}

}  // namespace yg
