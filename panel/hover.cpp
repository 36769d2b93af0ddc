#include "panel/hover.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace yg {

bool RepeatsWhenHeld(ControlId control) {
  return control == Ctl::Command9 || control == Ctl::Command10 || control == Ctl::Command11;
}

bool StillResting(const PointerPlace& from, const PointerPlace& now) {
  const int slack = (kRestSlack * std::max(now.dpi, 96) + 48) / 96;
  return std::abs(now.x - from.x) <= slack && std::abs(now.y - from.y) <= slack;
}

RepeatTiming RepeatTimingOf(KeyboardRepeat repeat) {
  // Windows' scales: a quarter of a second more delay a step, and speeds from about 2.5 to about
  // 30 repeats a second in 31 even steps. A value off the scale counts as its nearest end.
  const int delay = std::clamp(repeat.delay, 0, 3);
  const int speed = std::clamp(repeat.speed, 0, 31);
  return {static_cast<unsigned>(250 * (delay + 1)), 1000 / (2.5 + speed * 27.5 / 31)};
}

int RepeatTiming::MostAtOnce() const {
  return std::max(1, static_cast<int>(std::lround(kMostMissedMs / periodMs)));
}

int RepeatsAfter(std::uint64_t heldMs, const RepeatTiming& timing) {
  if (heldMs < timing.delayMs) return 0;
  return 1 + static_cast<int>(std::floor(static_cast<double>(heldMs - timing.delayMs) / timing.periodMs));
}

}  // namespace yg
