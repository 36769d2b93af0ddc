#include "tests/bench/steadiness.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace yg::tools {

Steadiness Judge(const std::vector<Sample>& samples, const Limits& limits) {
  Steadiness s;
  const auto settled = std::find_if(samples.begin(), samples.end(),
                                    [&](const Sample& x) { return x.clicks >= limits.settleClicks; });
  if (settled == samples.end() || settled + 1 == samples.end()) {
    s.why = "fewer than two samples from click " + std::to_string(limits.settleClicks) + " on";
    return s;
  }
  if (settled->privateBytes <= 0 || settled->gdi < 0 || settled->user < 0) {
    s.why = "no figures at click " + std::to_string(settled->clicks);
    return s;
  }
  s.held = true;
  for (auto it = settled + 1; it != samples.end(); ++it) {
    const long gdi = std::labs(it->gdi - settled->gdi);
    const long user = std::labs(it->user - settled->user);
    const double percent = 100 * std::fabs(it->privateBytes - settled->privateBytes) / settled->privateBytes;
    s.gdiDrift = std::max(s.gdiDrift, gdi);
    s.userDrift = std::max(s.userDrift, user);
    s.privateDriftPercent = std::max(s.privateDriftPercent, percent);
    if (s.held && (gdi > limits.slack || user > limits.slack || !(percent <= limits.percent))) {
      s.held = false;
      s.why = "at click " + std::to_string(it->clicks) + ": " + std::to_string(it->gdi) + " GDI and " +
              std::to_string(it->user) + " USER objects, private bytes " + std::to_string(percent) +
              "% off, against " + std::to_string(settled->gdi) + ", " + std::to_string(settled->user) +
              " at click " + std::to_string(settled->clicks);
    }
  }
  return s;
}

}  // namespace yg::tools
