// The desktop fakes stand in for the monitors, the target program and the tip: tested too.

#include <gtest/gtest.h>

#include "tests/fakes/fake_platform.h"

namespace yg::testing {
namespace {

TEST(FakeDisplays, ShowTheFakeWindowsScreenAndOutlineUntilToldOtherwise) {
  CallLog log;
  FakePanelWindow window(log);
  window.screenWidth = 28800;
  window.screenHeight = 16200;
  window.left = -100;
  window.top = 200;
  FakeDisplays displays(window);
  EXPECT_EQ(displays.WorkAreas(), (std::vector<ScreenRect>{{0, 0, 28800, 16200}}));
  EXPECT_EQ(displays.PanelBounds(), (ScreenRect{-100, 200, 5660, 1775}));
  displays.workAreas = std::vector<ScreenRect>{};
  EXPECT_TRUE(displays.WorkAreas().empty());
  displays.thinnerFrame = 30;
  EXPECT_EQ(displays.PanelBounds(), (ScreenRect{-70, 230, 5630, 1745}));
}

TEST(FakeTipWindow, WrapsToTheWidthItIsGivenAndForgetsWhatItHides) {
  FakeTipWindow tip;
  const auto one = tip.Measure(u"当前不是中文输入法", 5000);
  EXPECT_EQ(one.width, 9 * 180);
  EXPECT_EQ(one.height, 270);
  const auto wrapped = tip.Measure(u"当前不是中文输入法", 4 * 180 + 10);
  EXPECT_EQ(wrapped.width, 4 * 180);
  EXPECT_EQ(wrapped.height, 3 * 270);
  CallLog log;
  tip.log = &log;
  tip.Hide();
  EXPECT_TRUE(log.entries().empty()) << "hiding nothing is no call worth logging";
  tip.Show(u"x", 10, 20, {180, 270});
  EXPECT_EQ(tip.place, (ScreenRect{10, 20, 190, 290}));
  tip.Hide();
  EXPECT_FALSE(tip.shown);
  EXPECT_EQ(log.entries(), (std::vector<std::string>{"ShowTip x", "HideTip"}));
}

}  // namespace
}  // namespace yg::testing
