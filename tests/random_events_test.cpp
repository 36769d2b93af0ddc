// Long seeded runs of random events through the panel, with the system refusing parts of
// batches now and then: after every handler no key may be down and the word-building key must
// read one of its two captions.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "pads/editing_keys.h"
#include "panel/form1.h"
#include "panel/layout.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::FakePlatform;
using testing::Utf8;

TEST(RandomEvents, NoKeyStaysDownAndWordBuildingCaptionStaysValid) {
  std::vector<ControlId> controls;
  for (const LayoutRow& row : LayoutTable()) controls.push_back(row.control);

  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&](auto n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    FakePlatform fake;
    // The system refuses the tail of one batch in five; the releases that follow go through.
    fake.keys.SetPolicy([&](std::span<const KeyEvent> events) {
      const bool releasesOnly = std::all_of(events.begin(), events.end(),
                                            [](KeyEvent e) { return e.direction == KeyDirection::Up; });
      return !releasesOnly && pick(5) == 0 ? pick(events.size() + 1) : events.size();
    });
    Form1 panel(fake.View());

    for (int step = 0; step < 3000; ++step) {
      const ControlId c = controls[pick(controls.size())];
      const MouseArgs args{static_cast<int>(1 + pick(4)), static_cast<int>(pick(8)),
                           static_cast<float>(pick(400)) - 100, static_cast<float>(pick(700)) - 100};
      switch (pick(9)) {
        case 0: case 1: case 2: panel.Click(c); break;
        case 3: panel.MouseDown(c, args); break;
        case 4: panel.MouseUp(c, args); break;
        case 5: panel.GotFocus(c); break;
        case 6: panel.LostFocus(c); break;
        case 7: panel.Paint(); break;
        case 8: panel.MouseMove(); break;
      }
      ASSERT_TRUE(fake.keys.HeldKeys().empty()) << "seed " << seed << " step " << step << " " << ControlName(c);
      const std::u16string caption = fake.controls.Of(Ctl::Command5).caption;
      ASSERT_TRUE(caption == kWordBuildingOff || caption == kWordBuildingOn) << Utf8(caption);
      ASSERT_TRUE(fake.window.fatalErrors.empty()) << Utf8(fake.window.fatalErrors[0]);
    }
  }
}

}  // namespace
}  // namespace yg
