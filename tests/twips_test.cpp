#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "base/twips.h"
#include "panel/layout.h"

namespace yg {

void PrintTo(const PixelBox& b, std::ostream* os) {
  *os << "{" << b.left << ", " << b.top << ", " << b.right << ", " << b.bottom << "}";
}

namespace {

TEST(TwipsToPixels, RoundsToTheNearestPixelAtEachScale) {
  const struct {
    double twips;
    unsigned dpi;
    int pixels;
  } cases[] = {{5840, 96, 389}, {375, 96, 25}, {555, 96, 37}, {375, 144, 38}, {555, 144, 56},
               {1800, 144, 180}, {-1420, 96, -95}, {300, 120, 25}, {300, 192, 40},
               {6, 120, 1},  // half a pixel goes up
               {5, 168, 1}, {4, 168, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
  EXPECT_EQ(PixelsToTwips(389, 96), 5835);
  EXPECT_EQ(PixelsToTwips(7, 168), 60);
}

// How two spans of one axis lie: apart (a gap between), touching, or overlapping.
enum Relation { kApart, kTouching, kOverlapping };

Relation RelationOf(double aBegin, double aEnd, double bBegin, double bEnd) {
  if (aEnd < bBegin || bEnd < aBegin) return kApart;
  if (aEnd == bBegin || bEnd == aBegin) return kTouching;
  return kOverlapping;
}

// How two boxes lie, as the two axes say.
struct Boxes {
  Relation across, down;
  bool Overlap() const { return across == kOverlapping && down == kOverlapping; }
  // Side by side or one above the other, sharing a stretch of edge.
  bool ShareAnEdge() const {
    return (across == kTouching && down == kOverlapping) || (down == kTouching && across == kOverlapping);
  }
};

template <class Box>
Boxes Compare(const Box& a, const Box& b) {
  return {RelationOf(a.left, a.right, b.left, b.right), RelationOf(a.top, a.bottom, b.top, b.bottom)};
}

struct TwipsBox {
  double left, top, right, bottom;
};

// Every pair of controls in one container that shares an edge in twips shares it in pixels, and
// no two controls overlap in pixels that do not overlap in twips; a gap of a few twips may close,
// never turn into an overlap. Sizes rounded on their own break this at 120 and 168 DPI.
TEST(ToPixelBox, ControlsThatTouchInTwipsTouchInPixelsAtEveryScale) {
  const auto rows = LayoutTable();
  for (unsigned dpi : {96u, 120u, 144u, 168u, 192u}) {
    std::vector<std::string> wrong;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      for (std::size_t j = i + 1; j < rows.size(); ++j) {
        const LayoutRow &a = rows[i], &b = rows[j];
        if (a.container != b.container) continue;
        const Boxes twips = Compare(TwipsBox{1.0 * a.left, 1.0 * a.top, 1.0 * a.left + a.width, 1.0 * a.top + a.height},
                                    TwipsBox{1.0 * b.left, 1.0 * b.top, 1.0 * b.left + b.width, 1.0 * b.top + b.height});
        const Boxes pixels = Compare(ToPixelBox(a.left, a.top, a.width, a.height, dpi),
                                     ToPixelBox(b.left, b.top, b.width, b.height, dpi));
        // Where a stretch of edge is shared, the same edge is shared in pixels; the stretch may
        // shrink to a corner when it is only a few twips long.
        const bool kept = twips.Overlap()       ? pixels.Overlap() || pixels.ShareAnEdge()
                          : twips.ShareAnEdge() ? (twips.across == kTouching ? pixels.across == kTouching && pixels.down != kApart
                                                                             : pixels.down == kTouching && pixels.across != kApart)
                                                : !pixels.Overlap();
        if (!kept) wrong.push_back(ControlName(a.control) + "/" + ControlName(b.control));
      }
    }
    EXPECT_EQ(wrong, std::vector<std::string>{}) << "at " << dpi << " DPI";
  }
}

// Right and bottom from where the edge lies in twips; a width rounded on its own would give the
// other answer in each case.
TEST(ToPixelBox, EdgesAreRoundedWhereTheyLieNotBySize) {
  const struct {
    double left, width;
    unsigned dpi;
    int pixelLeft, pixelRight;
  } cases[] = {
      {305, 305, 120, 25, 51},   // 25.42 + 25.42 rounded alone is 50; the edge at 610 is 50.83
      {307, 307, 120, 26, 51},   // 25.58 + 25.58 alone is 52; the edge at 614 is 51.17
      {890, 270, 168, 104, 135}, // 103.83 + 31.5 alone is 136; the edge at 1160 is 135.33
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToPixelBox(c.left, c.left, c.width, c.width, c.dpi),
              (PixelBox{c.pixelLeft, c.pixelLeft, c.pixelRight, c.pixelRight}))
        << c.left << " + " << c.width << " at " << c.dpi;
  }
}

}  // namespace
}  // namespace yg
