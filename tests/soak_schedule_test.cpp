// The soak's plan: as many switches, help clicks and drags as asked for, the first of each in the
// warm-up, whatever the counts.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/bench/soak_schedule.h"

namespace yg::tools {
namespace {

long FirstOf(const Schedule& s, Action action) {
  return static_cast<long>(std::find(s.clicks.begin(), s.clicks.end(), action) - s.clicks.begin());
}

long FirstDrag(const Schedule& s) {
  return static_cast<long>(std::find(s.dragBefore.begin(), s.dragBefore.end(), true) - s.dragBefore.begin());
}

TEST(SoakSchedule, HasExactlyTheCountsAskedForWithTheFirstOfEachInTheWarmUp) {
  const struct {
    const char* what;
    ScheduleCounts counts;
    long warmUpRoom;  // where the first of each must fall: before this click
  } cases[] = {
      {"the full soak", {10000, 200, 50, 100, 1000}, 1000},
      {"the short soak", {1000, 20, 3, 10, 200}, 200},
      {"the benchmark's clicks", {2000, 40, 5, 20, 500}, 500},
      {"every click a switch or a help click", {10, 5, 5, 10, 3}, 10},
      {"a warm-up the switches fill", {20, 4, 2, 1, 2}, 20},
      {"a warm-up longer than the run", {100, 2, 2, 2, 5000}, 100},
      {"none of some kinds", {100, 0, 3, 0, 10}, 10},
      {"a single click", {1, 0, 1, 1, 1}, 1},
  };
  for (const auto& c : cases) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
      std::mt19937 rng(seed);
      const Schedule s = MakeSchedule(c.counts, rng);
      ASSERT_EQ(s.clicks.size(), static_cast<std::size_t>(c.counts.clicks)) << c.what;
      ASSERT_EQ(s.dragBefore.size(), s.clicks.size()) << c.what;
      EXPECT_EQ(std::count(s.clicks.begin(), s.clicks.end(), Action::Switch), c.counts.switches) << c.what << " seed " << seed;
      EXPECT_EQ(std::count(s.clicks.begin(), s.clicks.end(), Action::Help), c.counts.help) << c.what << " seed " << seed;
      EXPECT_EQ(std::count(s.dragBefore.begin(), s.dragBefore.end(), true), c.counts.drags) << c.what << " seed " << seed;
      if (c.counts.switches > 0) {
        EXPECT_LT(FirstOf(s, Action::Switch), c.warmUpRoom) << c.what << " seed " << seed;
      }
      if (c.counts.drags > 0) {
        EXPECT_LT(FirstDrag(s), c.warmUpRoom) << c.what << " seed " << seed;
      }
      // The help clicks come after the switches and find the warm-up partly taken.
      if (c.counts.help > 0 && c.counts.switches < std::min(c.counts.warmUp, c.counts.clicks)) {
        EXPECT_LT(FirstOf(s, Action::Help), c.warmUpRoom) << c.what << " seed " << seed;
      }
    }
  }
}

TEST(SoakSchedule, TheSameSeedGivesTheSameSoak) {
  const ScheduleCounts counts{1000, 20, 3, 10, 200};
  std::mt19937 first(7), second(7), other(8);
  const Schedule a = MakeSchedule(counts, first), b = MakeSchedule(counts, second), c = MakeSchedule(counts, other);
  EXPECT_EQ(a.clicks, b.clicks);
  EXPECT_EQ(a.dragBefore, b.dragBefore);
  EXPECT_NE(a.clicks, c.clicks);
}

}  // namespace
}  // namespace yg::tools
