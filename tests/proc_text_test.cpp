// Processor time and wake-ups of a Unix process, read from the text of its /proc files.

#include <gtest/gtest.h>

#include <string>

#include "tests/bench/proc_text.h"

namespace yg::tools {
namespace {

TEST(ProcText, TicksAreUserPlusSystemTimeWhateverTheCommandName) {
  // Fields 3 to 13, then utime 120 and stime 34, then the rest.
  const std::string fields = "S 1 2 3 0 -1 4194560 500 0 0 0 120 34 0 0 20 0 4 0 100 2000000 300";
  const struct {
    const char* what;
    std::string stat;
    long long ticks;
  } cases[] = {
      {"a plain name", "4242 (ygpanel.exe) " + fields, 154},
      {"a name with spaces", "4242 (Z:\\a b\\yg panel.exe) " + fields, 154},
      {"a name with brackets", "4242 (yg) (x) " + fields, 154},
      {"a newline at the end", "4242 (ygpanel.exe) " + fields + "\n", 154},
      {"no time yet", "7 (x) S 1 2 3 0 -1 4194560 500 0 0 0 0 0 0 0", 0},
      {"empty: the process has gone", "", -1},
      {"no bracket", "4242 ygpanel.exe " + fields, -1},
      {"cut short before stime", "4242 (x) S 1 2 3 0 -1 4194560 500 0 0 0 120", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(TicksInStat(c.stat), c.ticks) << c.what;
}

TEST(ProcText, VoluntarySwitchesAreNotTheNonvoluntaryOnes) {
  const struct {
    const char* what;
    std::string status;
    long long switches;
  } cases[] = {
      {"both lines", "Name:\tygpanel.exe\nvoluntary_ctxt_switches:\t812\nnonvoluntary_ctxt_switches:\t9\n", 812},
      {"the nonvoluntary line first", "nonvoluntary_ctxt_switches:\t9\nvoluntary_ctxt_switches:\t812\n", 812},
      {"the first line", "voluntary_ctxt_switches: 3", 3},
      {"only the nonvoluntary line", "Name:\tx\nnonvoluntary_ctxt_switches:\t9\n", -1},
      {"empty: the thread has gone", "", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(VoluntarySwitchesInStatus(c.status), c.switches) << c.what;
}

}  // namespace
}  // namespace yg::tools
