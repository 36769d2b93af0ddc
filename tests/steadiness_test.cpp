// The soak's verdict: once the panel has settled, its objects and its memory stay level.

#include <gtest/gtest.h>

#include <vector>

#include "tests/bench/steadiness.h"

namespace yg::tools {
namespace {

constexpr Limits kLimits{1000, 8, 1.0};
constexpr double kMb = 1024 * 1024;

// Samples every 500 clicks from 0 to 3000, settled at 1000 with 260 GDI, 103 USER objects and
// 7 MB; `change` alters the sample at `at` clicks.
std::vector<Sample> Samples(long at, void (*change)(Sample&)) {
  std::vector<Sample> samples;
  for (long clicks = 0; clicks <= 3000; clicks += 500) {
    Sample s{clicks, clicks < 1000 ? 240 : 260, clicks < 1000 ? 99 : 103, (clicks < 1000 ? 6 : 7) * kMb, 28 * kMb};
    if (clicks == at) change(s);
    samples.push_back(s);
  }
  return samples;
}

TEST(Steadiness, HoldsWithinTheLimitsFromTheSettledSampleOn) {
  const struct {
    const char* what;
    long at;
    void (*change)(Sample&);
    bool held;
  } cases[] = {
      {"level throughout", 2000, [](Sample&) {}, true},
      {"the warm-up may grow as it likes", 500, [](Sample& s) { s.gdi += 500; s.privateBytes *= 2; }, true},
      {"objects up by the slack", 2500, [](Sample& s) { s.gdi += 8; s.user -= 8; }, true},
      {"GDI objects one beyond the slack", 2500, [](Sample& s) { s.gdi += 9; }, false},
      {"USER objects one beyond the slack, downwards", 3000, [](Sample& s) { s.user -= 9; }, false},
      {"private bytes up by just under 1%", 1500, [](Sample& s) { s.privateBytes *= 1.0099; }, true},
      {"private bytes up by more than 1%", 3000, [](Sample& s) { s.privateBytes *= 1.011; }, false},
      {"private bytes down by more than 1%", 2000, [](Sample& s) { s.privateBytes *= 0.98; }, false},
      {"the working set is not judged", 3000, [](Sample& s) { s.workingSet *= 3; }, true},
  };
  for (const auto& c : cases) {
    const Steadiness s = Judge(Samples(c.at, c.change), kLimits);
    EXPECT_EQ(s.held, c.held) << c.what << ": " << s.why;
  }
}

TEST(Steadiness, ReportsTheLargestDriftFromTheSettledSample) {
  auto samples = Samples(0, [](Sample&) {});
  samples[3].gdi += 3;   // 1500 clicks
  samples[5].gdi -= 5;   // 2500
  samples[4].privateBytes += 0.005 * 7 * kMb;
  const Steadiness s = Judge(samples, kLimits);
  EXPECT_TRUE(s.held) << s.why;
  EXPECT_EQ(s.gdiDrift, 5);
  EXPECT_EQ(s.userDrift, 0);
  EXPECT_NEAR(s.privateDriftPercent, 0.5, 1e-9);
}

TEST(Steadiness, TooFewSamplesAfterTheWarmUpDecideNothing) {
  const struct {
    const char* what;
    std::vector<Sample> samples;
  } cases[] = {
      {"none at all", {}},
      {"all in the warm-up", {{0, 1, 1, kMb, kMb}, {500, 1, 1, kMb, kMb}}},
      {"only the settled one", {{500, 1, 1, kMb, kMb}, {1000, 1, 1, kMb, kMb}}},
      {"no figures when settled", {{1000, 1, 1, 0, kMb}, {1500, 1, 1, kMb, kMb}}},
  };
  for (const auto& c : cases) {
    const Steadiness s = Judge(c.samples, kLimits);
    EXPECT_FALSE(s.held) << c.what;
    EXPECT_FALSE(s.why.empty()) << c.what;
  }
}

}  // namespace
}  // namespace yg::tools
