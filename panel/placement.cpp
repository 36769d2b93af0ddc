#include "panel/placement.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace yg {

namespace {

// Between the panel and its tip: 3 pixels at 100%.
constexpr double kTipGap = 45;

bool Usable(const ScreenRect& r) {
  return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) && std::isfinite(r.bottom) &&
         r.right > r.left && r.bottom > r.top;
}

// The move along one axis that puts lo..hi inside areaLo..areaHi; a span longer than the area
// starts where the area starts.
double AxisShift(double lo, double hi, double areaLo, double areaHi) {
  if (hi - lo >= areaHi - areaLo || lo < areaLo) return areaLo - lo;
  if (hi > areaHi) return areaHi - hi;
  return 0;
}

Shift ShiftInto(const ScreenRect& panel, const ScreenRect& area) {
  return {AxisShift(panel.left, panel.right, area.left, area.right),
          AxisShift(panel.top, panel.bottom, area.top, area.bottom)};
}

// Puts lo..lo+length inside areaLo..areaHi, its start first when it is too long.
double ClampInto(double lo, double length, double areaLo, double areaHi) {
  return std::max(areaLo, std::min(lo, areaHi - length));
}

}  // namespace

double StartTop(double screenHeight, double height, std::span<const ScreenRect> workAreas) {
  const double top = screenHeight - height - kBottomGap;
  if (workAreas.empty() || !Usable(workAreas.front())) return top;
  const ScreenRect& primary = workAreas.front();
  // A work area shorter than the panel keeps the title bar in it.
  return std::min(top, std::max(primary.top, primary.bottom - height));
}

bool WhollyInside(const ScreenRect& panel, std::span<const ScreenRect> areas) {
  return Usable(panel) && std::any_of(areas.begin(), areas.end(), [&](const ScreenRect& a) {
           return Usable(a) && panel.left >= a.left && panel.top >= a.top && panel.right <= a.right &&
                  panel.bottom <= a.bottom;
         });
}

std::optional<std::size_t> NearestArea(const ScreenRect& panel, std::span<const ScreenRect> areas) {
  std::optional<std::size_t> nearest;
  double least = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < areas.size(); ++i) {
    if (!Usable(areas[i])) continue;
    const Shift s = ShiftInto(panel, areas[i]);
    const double distance = s.dx * s.dx + s.dy * s.dy;
    if (!nearest || distance < least) {
      nearest = i;
      least = distance;
    }
  }
  return nearest;
}

std::optional<Shift> ShiftOnScreen(const ScreenRect& panel, std::span<const ScreenRect> areas) {
  if (!Usable(panel)) return std::nullopt;
  const auto nearest = NearestArea(panel, areas);
  if (!nearest) return std::nullopt;
  const Shift s = ShiftInto(panel, areas[*nearest]);
  if (s == Shift{}) return std::nullopt;
  return s;
}

bool KeySizeFits(const ScreenRect& panel, int current, int percent, std::span<const ScreenRect> areas) {
  const auto nearest = NearestArea(panel, areas);
  if (!nearest || current <= 0) return true;
  // The panel's twips at `percent` are percent / current of today's.
  const double grow = static_cast<double>(percent) / current;
  const ScreenRect& area = areas[*nearest];
  return kExpandedWidth * grow <= area.Width() && kExpandedHeight * grow <= area.Height();
}

ScreenRect PlaceTip(const ScreenRect& panel, TipWindow::Size size, const std::optional<ScreenRect>& area) {
  double left = panel.left + (panel.Width() - size.width) / 2;
  double top = panel.top - kTipGap - size.height;
  if (area && Usable(*area)) {
    if (top < area->top) top = panel.bottom + kTipGap;
    left = ClampInto(left, size.width, area->left, area->right);
    top = ClampInto(top, size.height, area->top, area->bottom);
  }
  return {left, top, left + size.width, top + size.height};
}

}  // namespace yg
