#pragma once

// Where the panel and its tip stand on the screen. Everything is twips at the panel's scale;
// work areas come from the Displays port, the primary monitor's first.

#include <cstddef>
#include <optional>
#include <span>

#include "ports/displays.h"
#include "ports/tip_window.h"

namespace yg {

// At start-up the panel's bottom edge stands this far above the bottom of the screen: 30 pixels
// at 100%, the height of a small taskbar.
inline constexpr double kBottomGap = 450;

// The start-up top edge of a panel `height` high: kBottomGap above the bottom of the screen,
// but never so low that the panel reaches below the primary monitor's work area, where a taller
// taskbar would cover its bottom row. A taskbar of 30 pixels or less, one at the top or a side,
// and one that hides itself leave the first rule alone. A work area the system gives nonsense
// for is ignored.
double StartTop(double screenHeight, double height, std::span<const ScreenRect> workAreas);

struct Shift {
  double dx = 0, dy = 0;
  friend constexpr bool operator==(const Shift&, const Shift&) = default;
};

// True when `panel` lies wholly inside one of the work areas.
bool WhollyInside(const ScreenRect& panel, std::span<const ScreenRect> areas);

// The work area the panel needs to move least to lie wholly in (the first of equals); nothing
// when none is usable.
std::optional<std::size_t> NearestArea(const ScreenRect& panel, std::span<const ScreenRect> areas);

// The least move that puts the panel wholly inside the nearest work area; nothing when it lies
// wholly inside one already, or no work area is known. A panel wider or taller than the work
// area gets its left or top edge on the area's, so that its title bar stays in reach.
std::optional<Shift> ShiftOnScreen(const ScreenRect& panel, std::span<const ScreenRect> areas);

// The expanded panel's size in its own twips, at every key size.
inline constexpr double kExpandedWidth = 5860;
inline constexpr double kExpandedHeight = 1800;

// True when the expanded panel at key size `percent` fits inside the work area of the monitor
// the panel stands on (`panel`, its outline now at key size `current`). The expanded size counts
// in either mode: a size that fits only compact would put keys and the close box off the screen
// at the next switch. With no work area known, every size fits.
bool KeySizeFits(const ScreenRect& panel, int current, int percent, std::span<const ScreenRect> areas);

// Where a tip of `size` goes by the panel: centred above it, or below it when there is no room
// above, and moved sideways as far as it takes to stay inside `area`.
ScreenRect PlaceTip(const ScreenRect& panel, TipWindow::Size size, const std::optional<ScreenRect>& area);

}  // namespace yg
