// The stroke pictures: at the design size in their own colours pixel by pixel, and drawn at the
// sizes the keys have from 100% to 200% display scaling.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "base/twips.h"
#include "panel/layout.h"
#include "resources/stroke_drawing.h"

namespace yg {
namespace {

using P = StrokePicture;
using Ink = PictureInk;

constexpr unsigned kDpis[] = {96, 120, 144, 168, 192};  // 100% to 200%

struct Size {
  int width, height;
  unsigned dpi;
  bool operator<(const Size& o) const { return std::tie(width, height) < std::tie(o.width, o.height); }
};

std::string Describe(const Size& s) {
  return std::to_string(s.width) + "x" + std::to_string(s.height) + " (" + std::to_string(s.dpi) + " DPI)";
}

// Every size a stroke key has in pixels at each scale: with each edge rounded where it lies,
// keys at different places can differ by a pixel.
std::vector<Size> KeySizes() {
  std::set<Size> sizes;
  for (unsigned dpi : kDpis) {
    for (const LayoutRow& row : LayoutTable()) {
      if (row.kind != ControlKind::Picture) continue;
      const PixelBox box = ToPixelBox(row.left, row.top, row.width, row.height, dpi);
      sizes.insert({box.Width(), box.Height(), dpi});
    }
  }
  return {sizes.begin(), sizes.end()};
}

struct Box {
  int left, top, right, bottom;  // right and bottom just outside
  friend bool operator==(const Box&, const Box&) = default;
};

std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "x " << b.left << ".." << b.right << ", y " << b.top << ".." << b.bottom;
}

// Where each key's drawing lies on its normal picture at the design size.
struct Key {
  const char* name;
  P normal, pressed;
  Box stroke;
  std::optional<Box> variant;
  Box letter;
};

constexpr Key kKeys[] = {
    {"H", P::HNormal, P::HPressed, {5, 9, 20, 11}, Box{11, 22, 18, 26}, {3, 26, 8, 33}},
    {"I", P::INormal, P::IPressed, {11, 5, 14, 18}, Box{14, 20, 17, 30}, {5, 26, 6, 33}},
    {"J", P::JNormal, P::JPressed, {8, 5, 15, 19}, std::nullopt, {3, 26, 7, 33}},
    {"K", P::KNormal, P::KPressed, {10, 8, 16, 14}, Box{11, 20, 18, 28}, {4, 26, 9, 33}},
    {"L", P::LNormal, P::LPressed, {8, 5, 16, 16}, Box{6, 21, 20, 31}, {4, 26, 8, 33}},
};

constexpr std::uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kGrey = 0x808080, kLightGrey = 0xC0C0C0,
                        kFace = 0xEEEDDB, kBlue = 0x0000FF, kOrange = 0xFF8040;

// The box round the pixels of one colour inside the outline (which is black too).
std::optional<Box> BoxOf(const Bitmap& b, std::uint32_t colour) {
  std::optional<Box> box;
  for (int y = 1; y < b.height - 1; ++y)
    for (int x = 1; x < b.width - 1; ++x) {
      if (b.At(x, y) != colour) continue;
      if (!box) box = Box{x, y, x + 1, y + 1};
      box = Box{std::min(box->left, x), std::min(box->top, y), std::max(box->right, x + 1),
                std::max(box->bottom, y + 1)};
    }
  return box;
}

// The key's edge at the design size; nothing inside it, where the drawing lies.
std::optional<std::uint32_t> RaisedEdge(int x, int y) {
  const bool corner = (x == 0 || x == 24) && (y == 0 || y == 36);
  if (corner) return kWhite;
  if (x == 0 || x == 24 || y == 0 || y == 36) return kBlack;
  if ((x >= 22 && y <= 2) || (x <= 2 && y >= 34)) return kLightGrey;
  if (x <= 2 || y <= 2) return kWhite;
  if (x >= 22 || y >= 34) return kGrey;
  return std::nullopt;
}

std::optional<std::uint32_t> SunkenEdge(int x, int y) {
  if ((x == 0 && y == 0) || (x == 24 && y == 36)) return kWhite;
  if (x == 0 || x == 24 || y == 0 || y == 36) return kBlack;
  if (x == 1 || y == 1) return kGrey;
  return std::nullopt;
}

// As the help and the .bmp files hold them: the edge exactly, the drawing in its boxes, and
// nothing but the seven colours (the pressed drawing's move is checked at every size below).
TEST(StrokePicture, AtTheDesignSizeEdgesAndInksLieExactlyWhereDrawnInTheirOwnColours) {
  for (const Key& k : kKeys) {
    const Bitmap normal = DrawStrokePicture(k.normal);
    ASSERT_EQ(normal.width, 25);
    ASSERT_EQ(normal.height, 37);
    EXPECT_EQ(BoxOf(normal, kBlack), k.stroke) << k.name;
    EXPECT_EQ(BoxOf(normal, kBlue), k.variant) << k.name;
    EXPECT_EQ(BoxOf(normal, kOrange), k.letter) << k.name;
    for (const auto& [picture, edge] : {std::pair{k.normal, &RaisedEdge}, std::pair{k.pressed, &SunkenEdge}}) {
      const Bitmap b = DrawStrokePicture(picture);
      const char* look = edge == &RaisedEdge ? " normal" : " pressed";
      for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
          const std::uint32_t c = b.At(x, y);
          if (const auto expected = edge(x, y)) {
            EXPECT_EQ(c, *expected) << k.name << look << " at " << x << "," << y;
          } else {
            EXPECT_TRUE(c == kFace || c == kBlack || c == kBlue || c == kOrange)
                << k.name << look << " at " << x << "," << y << ": " << std::hex << c;
          }
        }
    }
  }
}

constexpr Rgb kPaper{255, 255, 255}, kInk{0, 0, 0};

// A palette that shows one thing only: `shown` in black on white, all else white.
PicturePalette Showing(std::initializer_list<Ink> shown) {
  PicturePalette palette;
  palette.fill(kPaper);
  for (Ink ink : shown) palette[static_cast<std::size_t>(ink)] = kInk;
  return palette;
}

// How much ink a pixel holds, 0 (white) to 1 (black).
double InkAt(const Bitmap& b, int x, int y) { return (255 - (b.At(x, y) & 0xFF)) / 255.0; }

// The ink along one pixel row (across) or column (down) of a picture.
double InkAlong(const Bitmap& b, bool row, int at) {
  double sum = 0;
  for (int i = 0; i < (row ? b.width : b.height); ++i) sum += row ? InkAt(b, i, at) : InkAt(b, at, i);
  return sum;
}

// The pixel row or column through the middle of a row or column of the design.
int PixelLine(int design, int pixels, int designPixels) {
  return static_cast<int>((design + 0.5) * pixels / designPixels);
}

// A stretch of a main stroke, measured across: along design rows `from` to `to` (inclusive)
// for strokes that run down, along design columns for strokes that run across. `width` is the
// stroke's width there in design pixels; a swelling stroke is that wide at its widest.
struct Stretch {
  const char* what;
  P picture;
  bool rows;
  int from, to;
  double width;
  bool swelling = false;
};

const Stretch kMainStrokes[] = {
    {"H's horizontal, up to its press", P::HNormal, false, 6, 16, 1},
    {"I's vertical, below its serif", P::INormal, true, 6, 15, 2},
    {"J's left-falling stroke, straight and curved", P::JNormal, true, 6, 17, 2},
    {"K's dot", P::KNormal, true, 8, 13, 4, true},
    {"L's vertical", P::LNormal, true, 6, 13, 2},
    {"L's foot", P::LNormal, false, 10, 15, 2},
};

TEST(StrokeDrawing, MainStrokesKeepTheirWidthWithinAPixelAtEveryScale) {
  const PicturePalette strokeOnly = Showing({Ink::Stroke});
  for (const Size& size : KeySizes()) {
    for (const Stretch& s : kMainStrokes) {
      const Bitmap b = RenderStrokePicture(s.picture, size.width, size.height, strokeOnly);
      const int pixels = s.rows ? size.height : size.width;
      const int design = s.rows ? kStrokePictureHeight : kStrokePictureWidth;
      // The width is measured across the stroke, on the other axis.
      const double scale = static_cast<double>(s.rows ? size.width : size.height) /
                           (s.rows ? kStrokePictureWidth : kStrokePictureHeight);
      const std::string where = std::string(s.what) + ", " + Describe(size);
      double narrowest = 1e9, widest = 0;
      for (int d = s.from; d <= s.to; ++d) {
        const double width = InkAlong(b, s.rows, PixelLine(d, pixels, design));
        if (!s.swelling) {
          EXPECT_NEAR(width, s.width * scale, 1.0) << where << ", at design " << d;
        }
        narrowest = std::min(narrowest, width);
        widest = std::max(widest, width);
      }
      if (s.swelling) {
        EXPECT_NEAR(widest, s.width * scale, 1.0) << where;
      } else {
        EXPECT_LE(widest - narrowest, 1.0) << where;
      }
    }
  }
}

// The box round the pixels at least a quarter covered by what the palette shows: the tips of
// tapering strokes are fainter than that only where they are a fraction of a pixel wide.
std::optional<Box> InkBox(const Bitmap& b) {
  std::optional<Box> box;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      if (InkAt(b, x, y) < 0.25) continue;
      if (!box) box = Box{x, y, x + 1, y + 1};
      box = Box{std::min(box->left, x), std::min(box->top, y), std::max(box->right, x + 1),
                std::max(box->bottom, y + 1)};
    }
  return box;
}

// Where the drawing's edges lie, measured on a picture drawn eight times as large as the design.
constexpr int kFine = 8;

TEST(StrokeDrawing, EachInkFillsTheSameShareOfItsKeyAtEveryScaleWithinAPixel) {
  for (const Key& k : kKeys) {
    for (Ink ink : {Ink::Stroke, Ink::Variant, Ink::Letter}) {
      const PicturePalette palette = Showing({ink});
      const std::optional<Box> fine =
          InkBox(RenderStrokePicture(k.normal, kFine * kStrokePictureWidth, kFine * kStrokePictureHeight, palette));
      for (const Size& size : KeySizes()) {
        const std::optional<Box> box = InkBox(RenderStrokePicture(k.normal, size.width, size.height, palette));
        const std::string where = std::string(k.name) + " ink " + std::to_string(static_cast<int>(ink)) + ", " +
                                  Describe(size);
        ASSERT_EQ(box.has_value(), fine.has_value()) << where;
        if (!box) continue;
        const double sx = static_cast<double>(size.width) / (kFine * kStrokePictureWidth);
        const double sy = static_cast<double>(size.height) / (kFine * kStrokePictureHeight);
        EXPECT_NEAR(box->left, fine->left * sx, 1.0) << where;
        EXPECT_NEAR(box->right, fine->right * sx, 1.0) << where;
        EXPECT_NEAR(box->top, fine->top * sy, 1.0) << where;
        EXPECT_NEAR(box->bottom, fine->bottom * sy, 1.0) << where;
      }
    }
  }
}

// A palette in which each ink has a colour of its own, the face a light one.
PicturePalette Marked() {
  PicturePalette palette;
  for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = {static_cast<std::uint8_t>(i * 20), 0, 0};
  palette[static_cast<std::size_t>(Ink::Face)] = {250, 250, 250};
  return palette;
}

std::uint32_t Packed(Rgb c) { return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b; }

std::uint32_t ColourOf(Ink ink) { return Packed(InkColour(Marked(), ink)); }

// The drawing alone: the key's edge in the face's colour.
PicturePalette DrawingOnly() {
  PicturePalette palette = Marked();
  for (Ink edge : {Ink::Outline, Ink::Corner, Ink::Highlight, Ink::Shadow, Ink::Blend})
    palette[static_cast<std::size_t>(edge)] = InkColour(palette, Ink::Face);
  return palette;
}

// The key's edge alone: the drawing in the face's colour.
PicturePalette EdgeOnly() {
  PicturePalette palette = Marked();
  for (Ink drawn : {Ink::Stroke, Ink::Variant, Ink::Letter})
    palette[static_cast<std::size_t>(drawn)] = InkColour(palette, Ink::Face);
  return palette;
}

TEST(StrokeDrawing, PressedDrawingIsTheNormalOneMovedRightAndDownByOneDesignPixel) {
  const std::uint32_t face = ColourOf(Ink::Face);
  for (const Key& k : kKeys) {
    for (const Size& size : KeySizes()) {
      const Bitmap normal = RenderStrokePicture(k.normal, size.width, size.height, DrawingOnly());
      const Bitmap pressed = RenderStrokePicture(k.pressed, size.width, size.height, DrawingOnly());
      // One design pixel, in whole pixels.
      const int dx = std::max(1, static_cast<int>(std::lround(static_cast<double>(size.width) / kStrokePictureWidth)));
      const int dy = std::max(1, static_cast<int>(std::lround(static_cast<double>(size.height) / kStrokePictureHeight)));
      int differing = 0;
      for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
          const bool moved = x >= dx && y >= dy;
          const std::uint32_t expected = moved ? normal.At(x - dx, y - dy) : face;
          differing += pressed.At(x, y) != expected;
          if (x >= size.width - dx || y >= size.height - dy) differing += normal.At(x, y) != face;
        }
      EXPECT_EQ(differing, 0) << k.name << ", moved by " << dx << ", " << dy << ", " << Describe(size);
    }
  }
}

// The bands of the key's edge from one side inwards, as design pixels of each ink.
struct Band {
  Ink ink;
  int design;
};

struct Side {
  const char* name;
  bool pressed;
  int dx, dy;  // inwards
  std::vector<Band> bands;
};

const Side kSides[] = {
    {"raised top", false, 0, 1, {{Ink::Outline, 1}, {Ink::Highlight, 2}}},
    {"raised left", false, 1, 0, {{Ink::Outline, 1}, {Ink::Highlight, 2}}},
    {"raised bottom", false, 0, -1, {{Ink::Outline, 1}, {Ink::Shadow, 2}}},
    {"raised right", false, -1, 0, {{Ink::Outline, 1}, {Ink::Shadow, 2}}},
    {"sunken top", true, 0, 1, {{Ink::Outline, 1}, {Ink::Shadow, 1}}},
    {"sunken left", true, 1, 0, {{Ink::Outline, 1}, {Ink::Shadow, 1}}},
    {"sunken bottom", true, 0, -1, {{Ink::Outline, 1}}},
    {"sunken right", true, -1, 0, {{Ink::Outline, 1}}},
};

TEST(StrokeDrawing, TheKeysEdgeIsRaisedOrSunkenInWholePixelsAtEveryScale) {
  for (const Key& k : kKeys) {
    for (const Size& size : KeySizes()) {
      for (const Side& side : kSides) {
        const Bitmap b = RenderStrokePicture(side.pressed ? k.pressed : k.normal, size.width, size.height, EdgeOnly());
        // From the middle of the side inwards, one run of pixels for each band, then the face.
        int x = side.dx < 0 ? size.width - 1 : side.dx > 0 ? 0 : size.width / 2;
        int y = side.dy < 0 ? size.height - 1 : side.dy > 0 ? 0 : size.height / 2;
        const double scale = side.dx ? static_cast<double>(size.width) / kStrokePictureWidth
                                     : static_cast<double>(size.height) / kStrokePictureHeight;
        const std::string where = std::string(k.name) + " " + side.name + ", " + Describe(size);
        for (const Band& band : side.bands) {
          int run = 0;
          for (; b.At(x, y) == ColourOf(band.ink); x += side.dx, y += side.dy) ++run;
          EXPECT_GE(run, 1) << where;
          EXPECT_NEAR(run, band.design * scale, 1.0) << where;
        }
        EXPECT_EQ(b.At(x, y), ColourOf(Ink::Face)) << where;
      }
      // The outline's corners are rounded off: all four on a raised key, the two on the
      // light's diagonal on a sunken one.
      const Bitmap raised = RenderStrokePicture(k.normal, size.width, size.height, EdgeOnly());
      const Bitmap sunken = RenderStrokePicture(k.pressed, size.width, size.height, EdgeOnly());
      const int r = size.width - 1, b = size.height - 1;
      EXPECT_EQ(raised.At(0, 0), ColourOf(Ink::Corner)) << Describe(size);
      EXPECT_EQ(raised.At(r, 0), ColourOf(Ink::Corner)) << Describe(size);
      EXPECT_EQ(raised.At(0, b), ColourOf(Ink::Corner)) << Describe(size);
      EXPECT_EQ(raised.At(r, b), ColourOf(Ink::Corner)) << Describe(size);
      EXPECT_EQ(sunken.At(0, 0), ColourOf(Ink::Corner)) << Describe(size);
      EXPECT_EQ(sunken.At(r, b), ColourOf(Ink::Corner)) << Describe(size);
      EXPECT_EQ(sunken.At(r, 0), ColourOf(Ink::Outline)) << Describe(size);
      EXPECT_EQ(sunken.At(0, b), ColourOf(Ink::Outline)) << Describe(size);
    }
  }
}

// Every pixel is one of the palette's colours or a blend of the face with one drawing ink: no
// colour comes from anywhere else, and nothing blends into the key's edge.
TEST(StrokeDrawing, PixelsAreThePalettesColoursOrTheFaceBlendedWithOneInk) {
  PicturePalette palette = Marked();
  palette[static_cast<std::size_t>(Ink::Stroke)] = {0, 0, 0};
  palette[static_cast<std::size_t>(Ink::Variant)] = {0, 0, 250};
  palette[static_cast<std::size_t>(Ink::Letter)] = {250, 0, 0};
  std::set<std::uint32_t> own;
  for (Rgb c : palette) own.insert(Packed(c));
  const auto blendOfFace = [](std::uint32_t c) {
    const int r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
    // With the face at 250, 250, 250: black, blue or red mixed in.
    return (r == g && g == b) || (r == g && b == 250) || (g == b && r == 250);
  };
  for (const Key& k : kKeys)
    for (const Size& size : KeySizes())
      for (P picture : {k.normal, k.pressed}) {
        const Bitmap b = RenderStrokePicture(picture, size.width, size.height, palette);
        for (std::uint32_t c : b.pixels)
          EXPECT_TRUE(own.count(c) || blendOfFace(c)) << k.name << ", " << Describe(size) << ": " << std::hex << c;
      }
}

TEST(StrokeDrawing, RefusesNoPictureAndSizesBelowTheDesign) {
  const PicturePalette palette = Marked();
  EXPECT_THROW(RenderStrokePicture(P::None, 25, 37, palette), std::invalid_argument);
  EXPECT_THROW(RenderStrokePicture(P::HNormal, 24, 37, palette), std::invalid_argument);
  EXPECT_THROW(RenderStrokePicture(P::HNormal, 25, 36, palette), std::invalid_argument);
  EXPECT_NO_THROW(RenderStrokePicture(P::HNormal, 25, 37, palette));
}

}  // namespace
}  // namespace yg
