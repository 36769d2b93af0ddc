// Where the panel starts, where it goes when the monitors change, and where its tip stands:
// pure decisions over made-up screens, in twips (15 a pixel at 100%, 10 at 150%).

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <vector>

#include "panel/placement.h"

namespace yg {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// 1024 x 768 pixels at 100%.
constexpr double kW = 15360, kH = 11520;

TEST(StartTop, StaysClearOfTaskbarsTallerThanTheGapAndIsThePartsOtherwise) {
  const struct {
    const char* name;
    double screenHeight, height;
    std::vector<ScreenRect> areas;
    double top;
  } cases[] = {
      {"no work area known", kH, 1800, {}, 9270},
      {"auto-hidden taskbar: the work area is the screen", kH, 1800, {{0, 0, kW, kH}}, 9270},
      {"30 px taskbar at the bottom: exactly the gap", kH, 1800, {{0, 0, kW, kH - 450}}, 9270},
      {"40 px taskbar at the bottom", kH, 1800, {{0, 0, kW, kH - 600}}, 9120},
      {"48 px taskbar at the bottom", kH, 1800, {{0, 0, kW, kH - 720}}, 9000},
      {"48 px taskbar at the top", kH, 1800, {{0, 720, kW, kH}}, 9270},
      {"48 px taskbar on the left", kH, 1800, {{720, 0, kW, kH}}, 9270},
      {"48 px taskbar on the right", kH, 1800, {{0, 0, kW - 720, kH}}, 9270},
      {"150%: a 40 px taskbar is within the 45 px gap", 10800, 1800, {{0, 0, 19200, 10800 - 400}}, 8550},
      {"150%: a 48 px taskbar is not", 10800, 1800, {{0, 0, 19200, 10800 - 480}}, 8520},
      {"only the primary monitor counts", kH, 1800, {{0, 0, kW, kH}, {kW, 0, 2 * kW, 5000}}, 9270},
      {"a work area shorter than the panel keeps the title bar in it", kH, 1800, {{0, 300, kW, 1000}}, 300},
      {"nonsense from the system is ignored", kH, 1800, {{0, 0, kW, kNaN}}, 9270},
      {"an empty work area is ignored", kH, 1800, {{0, 0, kW, 0}}, 9270},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StartTop(c.screenHeight, c.height, c.areas), c.top) << c.name;
  }
}

// A panel 5840 x 1800 twips with its top-left corner at x, y.
ScreenRect PanelAt(double x, double y) { return {x, y, x + 5840, y + 1800}; }

constexpr ScreenRect kPrimary{0, 0, kW, kH};
constexpr ScreenRect kLeftOfPrimary{-19200, -1000, 0, 9800};  // 1280 x 720 px, higher up
constexpr ScreenRect kRightOfPrimary{kW, 0, 2 * kW, kH};

TEST(ShiftOnScreen, MovesTheLeastDistanceOntoTheNearestWorkArea) {
  const struct {
    const char* name;
    ScreenRect panel;
    std::vector<ScreenRect> areas;
    std::optional<Shift> shift;
  } cases[] = {
      {"wholly inside: left alone", PanelAt(4760, 9270), {kPrimary}, std::nullopt},
      {"touching every edge is inside", {0, 0, kW, kH}, {kPrimary}, std::nullopt},
      {"off the left edge", PanelAt(-300, 9270), {kPrimary}, Shift{300, 0}},
      {"off the right and the bottom", PanelAt(kW - 5000, kH - 1000), {kPrimary}, Shift{-840, -800}},
      {"off the top", PanelAt(4760, -200), {kPrimary}, Shift{0, 200}},
      {"under a taskbar that grew", PanelAt(4760, 9270), {{0, 0, kW, kH - 720}}, Shift{0, -270}},
      {"on the monitor to the left, at negative coordinates", PanelAt(-8000, -500), {kPrimary, kLeftOfPrimary},
       std::nullopt},
      {"straddling two monitors, mostly on the primary", PanelAt(-500, 100), {kPrimary, kLeftOfPrimary},
       Shift{500, 0}},
      {"straddling two monitors, mostly on the left one", PanelAt(-3000, 100), {kPrimary, kLeftOfPrimary},
       Shift{-2840, 0}},
      {"straddling, above the left monitor's top", PanelAt(-3000, -1500), {kPrimary, kLeftOfPrimary},
       Shift{-2840, 500}},
      {"its monitor went away: onto the primary's right edge", PanelAt(20000, 1000), {kPrimary},
       Shift{kW - 25840, 0}},
      {"its monitor is still there", PanelAt(20000, 1000), {kPrimary, kRightOfPrimary}, std::nullopt},
      {"wider and taller than the work area: top-left corners meet", PanelAt(100, -50), {{0, 0, 3000, 1000}},
       Shift{-100, 50}},
      {"exactly as wide as the work area, off to the right", {200, 0, 6040, 1800}, {{0, 0, 5840, kH}},
       Shift{-200, 0}},
      {"no work area known", PanelAt(-9000, -9000), {}, std::nullopt},
      {"a nonsense work area is skipped", PanelAt(-300, 0), {{kNaN, 0, 1, 1}, kPrimary}, Shift{300, 0}},
      {"only nonsense", PanelAt(-300, 0), {{0, 0, 0, 0}}, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto shift = ShiftOnScreen(c.panel, c.areas);
    ASSERT_EQ(shift.has_value(), c.shift.has_value()) << c.name;
    if (shift) {
      EXPECT_EQ(shift->dx, c.shift->dx) << c.name;
      EXPECT_EQ(shift->dy, c.shift->dy) << c.name;
    }
  }
}

TEST(NearestArea, IsTheOneNeedingTheLeastMoveAndTheFirstOfEquals) {
  const ScreenRect a{0, 0, 1000, 1000}, b{2000, 0, 3000, 1000}, far{0, 5000, 1000, 6000};
  const ScreenRect between{1400, 0, 1600, 100};  // 600 from either
  EXPECT_EQ(NearestArea(between, std::vector{a, b}), 0u);
  EXPECT_EQ(NearestArea(between, std::vector{b, a}), 0u);
  EXPECT_EQ(NearestArea({1500, 0, 1700, 100}, std::vector{a, b}), 1u);
  // Distance counts both ways: 700 across beats 650 across and 4000 down.
  EXPECT_EQ(NearestArea({1700, 3000, 1900, 3100}, std::vector{far, b, a}), 1u);
  EXPECT_EQ(NearestArea(between, std::vector<ScreenRect>{}), std::nullopt);
}

// The expanded panel is 5860 by 1800 of its twips. A 1280 by 1000 pixel work area at 192 DPI is
// 9600 by 7500 twips at 100% (7.5 a pixel) and 6400 by 5000 at 150% (5 a pixel).
TEST(KeySizeFits, GreysTheSizesAtWhichTheExpandedPanelLeavesItsMonitorsWorkArea) {
  const ScreenRect small{0, 0, 9600, 7500};
  const ScreenRect panel{1000, 4000, 5860, 5800};
  const struct {
    const char* name;
    ScreenRect panel;
    int current, percent;
    std::vector<ScreenRect> areas;
    bool fits;
  } cases[] = {
      {"192 DPI, 1280 px: 150% is 8790 twips wide", panel, 100, 150, {small}, true},
      {"192 DPI, 1280 px: 200% is 11720", panel, 100, 200, {small}, false},
      {"at 150% now: 200% is 7813 of today's twips", panel, 150, 200, {{0, 0, 6400, 5000}}, false},
      {"compact now: the expanded width counts", {1000, 4000, 4000, 5800}, 100, 200, {small}, false},
      {"just wide enough", panel, 100, 200, {{0, 0, 11720, 3600}}, true},
      {"too low: a 3000-twip work area holds 150% but not 200%", panel, 100, 200, {{0, 0, 30000, 3000}}, false},
      {"the panel's own monitor, not the larger one", {-5000, 0, 0, 1800}, 100, 200,
       {{0, 0, 30000, 20000}, {-9600, 0, 0, 7500}}, false},
      {"no work area known", panel, 100, 200, {}, true},
  };
  for (const auto& c : cases) EXPECT_EQ(KeySizeFits(c.panel, c.current, c.percent, c.areas), c.fits) << c.name;
}

TEST(PlaceTip, AboveThePanelWhereThereIsRoomAndAlwaysInsideTheWorkArea) {
  const TipWindow::Size tip{3000, 540};
  const struct {
    const char* name;
    ScreenRect panel;
    TipWindow::Size size;
    std::optional<ScreenRect> area;
    double left, top;
  } cases[] = {
      {"centred above, 45 twips clear", PanelAt(4760, 9270), tip, kPrimary, 6180, 8685},
      {"at the top of the screen: below", PanelAt(4760, 0), tip, kPrimary, 6180, 1845},
      {"room for it above exactly", PanelAt(4760, 585), tip, kPrimary, 6180, 0},
      {"panel at the left edge: the tip stops at it", PanelAt(-2000, 5000), tip, kPrimary, 0, 4415},
      {"panel at the right edge", PanelAt(kW - 3000, 5000), tip, kPrimary, kW - 3000, 4415},
      {"wider than the area: starts at its left", PanelAt(0, 5000), {20000, 540}, kPrimary, 0, 4415},
      {"on a monitor at negative coordinates", PanelAt(-4000, -1000), tip, kLeftOfPrimary, -3000, 845},
      {"no room above or below: at the bottom of the area", PanelAt(0, 0), tip, ScreenRect{0, 0, kW, 1800}, 1420, 1260},
      {"no area known: above, wherever that is", PanelAt(4760, 0), tip, std::nullopt, 6180, -585},
  };
  for (const auto& c : cases) {
    const ScreenRect r = PlaceTip(c.panel, c.size, c.area);
    EXPECT_EQ(r.left, c.left) << c.name;
    EXPECT_EQ(r.top, c.top) << c.name;
    EXPECT_EQ(r.Width(), c.size.width) << c.name;
    EXPECT_EQ(r.Height(), c.size.height) << c.name;
  }
}

}  // namespace
}  // namespace yg
