#include "tests/bench/soak_schedule.h"

#include <algorithm>
#include <cstddef>

namespace yg::tools {

namespace {

// Marks `count` places for which isFree holds, each drawn among those still free: the first
// among the first `warmUp` if one of them is free.
template <class IsFree, class Take>
void Place(long count, std::size_t size, std::size_t warmUp, std::mt19937& rng, IsFree isFree, Take take) {
  std::vector<std::size_t> free;
  for (long i = 0; i < count; ++i) {
    free.clear();
    for (std::size_t at = 0; at < size; ++at) {
      if (isFree(at)) free.push_back(at);
    }
    if (free.empty()) return;
    std::size_t range = free.size();
    if (i == 0) {
      const auto inWarmUp = static_cast<std::size_t>(std::lower_bound(free.begin(), free.end(), warmUp) - free.begin());
      if (inWarmUp > 0) range = inWarmUp;
    }
    take(free[std::uniform_int_distribution<std::size_t>(0, range - 1)(rng)]);
  }
}

}  // namespace

Schedule MakeSchedule(const ScheduleCounts& counts, std::mt19937& rng) {
  const auto size = static_cast<std::size_t>(std::max(counts.clicks, 0L));
  const auto warmUp = static_cast<std::size_t>(std::max(counts.warmUp, 0L));
  Schedule s{std::vector<Action>(size, Action::Click), std::vector<bool>(size, false)};
  for (const auto& [action, count] : {std::pair{Action::Switch, counts.switches}, std::pair{Action::Help, counts.help}}) {
    Place(count, size, warmUp, rng, [&](std::size_t at) { return s.clicks[at] == Action::Click; },
          [&, a = action](std::size_t at) { s.clicks[at] = a; });
  }
  Place(counts.drags, size, warmUp, rng, [&](std::size_t at) { return !s.dragBefore[at]; },
        [&](std::size_t at) { s.dragBefore[at] = true; });
  return s;
}

}  // namespace yg::tools
