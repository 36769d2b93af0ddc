#pragma once

// What each click of a soak is, and before which clicks the panel is dragged: platform-neutral,
// so that the plan is tested on its own.

#include <random>
#include <vector>

namespace yg::tools {

enum class Action { Click, Switch, Help };

struct ScheduleCounts {
  long clicks = 0;
  long switches = 0;  // of the clicks, on the mode switch
  long help = 0;      // of the clicks, on the help button
  long drags = 0;     // between clicks, at most one before each
  long warmUp = 0;    // the first switch, help click and drag fall before this click
};

struct Schedule {
  std::vector<Action> clicks;
  std::vector<bool> dragBefore;
};

// Exactly the counts asked for (switches + help <= clicks, drags <= clicks), at random places
// drawn from rng; the first of each kind in the warm-up when it has room left, else anywhere.
Schedule MakeSchedule(const ScheduleCounts& counts, std::mt19937& rng);

}  // namespace yg::tools
