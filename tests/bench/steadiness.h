#pragma once

// Whether a long run's samples of a process stay level once it has settled: what the soak passes
// or fails on. Platform-neutral, so that the judgement is tested on its own.

#include <string>
#include <vector>

namespace yg::tools {

struct Sample {
  long clicks = 0;
  long gdi = 0;
  long user = 0;
  double privateBytes = 0;
  double workingSet = 0;
};

struct Limits {
  long settleClicks;  // samples before this many clicks are the warm-up
  long slack;         // GDI and USER objects: at most this many more or fewer than when settled
  double percent;     // private bytes: at most this share more or less than when settled
};

struct Steadiness {
  bool held = false;
  std::string why;  // when not held: the first sample out of bounds, or that there was none to judge
  // The largest distance from the settled sample (the first at or after settleClicks).
  long gdiDrift = 0;
  long userDrift = 0;
  double privateDriftPercent = 0;
};

Steadiness Judge(const std::vector<Sample>& samples, const Limits& limits);

}  // namespace yg::tools
