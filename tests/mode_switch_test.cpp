#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel/form1.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::FakePlatform;
using Log = std::vector<std::string>;

class ModeSwitchTest : public ::testing::Test {
 protected:
  ModeSwitchTest() {
    fake.window.twipsPerPixel = 0;
    panel.Load();
    fake.log.Clear();
  }
  float Right() const { return fake.window.left + fake.window.width; }

  FakePlatform fake;
  Form1 panel{fake.View()};
};

TEST_F(ModeSwitchTest, ShrinksAndGrowsInTheStatedOrder) {
  panel.Click(Ctl::Command2);
  EXPECT_EQ(fake.log.entries(),
            (Log{"Caption Command2?", "SetHeight 1450", "SetWidth 2840", "SetLeft Frame4 0", "SetLeft Frame6 1835",
                 "Hide Frame1", "Hide Command19", "Hide Command29", "Hide Command35", "Left?", "SetLeft 7780",
                 "SetCaption Command2 +", "SetHeight Command5 1120"}));
  fake.log.Clear();
  panel.Click(Ctl::Command2);
  EXPECT_EQ(fake.log.entries(),
            (Log{"Caption Command2?", "SetHeight 1800", "SetWidth 5860", "Left?", "SetLeft 4760", "Show Frame1",
                 "SetLeft Frame4 3000", "SetLeft Frame6 4860", "Show Command19", "Show Command29", "Show Command35",
                 "SetCaption Command2 -", "SetHeight Command5 1440"}));
}

TEST_F(ModeSwitchTest, PairsOfClicksComeBackToTheSameLeft) {
  const float startLeft = fake.window.left, startRight = Right();
  panel.Click(Ctl::Command2);
  EXPECT_EQ(fake.window.left, startLeft + 3020);
  EXPECT_EQ(Right(), startRight + 20);  // from the start width 5840 the right edge moves once
  for (int pair = 0; pair < 4; ++pair) {
    const float before = fake.window.left;
    panel.Click(Ctl::Command2);
    EXPECT_EQ(fake.window.width, 5860) << pair;
    EXPECT_EQ(fake.window.height, 1800) << pair;
    EXPECT_EQ(fake.controls.Of(Ctl::Frame6).left, 4860) << pair;
    EXPECT_EQ(fake.controls.Of(Ctl::Command5).height, 1440) << pair;
    EXPECT_EQ(fake.controls.Of(Ctl::Command2).caption, u"-") << pair;
    const float expandedRight = Right();
    panel.Click(Ctl::Command2);
    EXPECT_EQ(fake.window.left, before) << pair;
    EXPECT_EQ(Right(), expandedRight) << pair;  // the right edge stays put from now on
    EXPECT_EQ(fake.window.height, 1450) << pair;
    EXPECT_EQ(fake.controls.Of(Ctl::Command5).height, 1120) << pair;
    EXPECT_EQ(fake.controls.Of(Ctl::Command2).caption, u"+") << pair;
  }
}

TEST_F(ModeSwitchTest, CompactModeHidesTheRadicalsButNotTheOnesOnThePanel) {
  panel.Click(Ctl::Command2);
  for (ControlId hidden : {ControlId(Ctl::Comm1), ControlId(Ctl::Command71), ControlId(Ctl::Command19),
                           ControlId(Ctl::Command29), ControlId(Ctl::Command35)}) {
    EXPECT_FALSE(fake.controls.Shown(hidden)) << ControlName(hidden);
  }
  for (ControlId shown : {ControlId(Ctl::Command72), ControlId(Ctl::Command73), ControlId(Ctl::Image3), Skb(189),
                          ControlId(Ctl::Command1), ControlId(Ctl::Cmm2)}) {
    EXPECT_TRUE(fake.controls.Shown(shown)) << ControlName(shown);
  }
}

TEST_F(ModeSwitchTest, LeavesWordBuildingAloneAndKeepsNoPanelOnScreen) {
  fake.window.left = 100;  // near the left edge: expanding puts part of the panel off screen
  panel.Click(Ctl::Command5);
  panel.Click(Ctl::Command2);
  panel.Click(Ctl::Command2);
  EXPECT_EQ(fake.window.left, 100);
  panel.Click(Ctl::Command2);
  fake.window.left = 500;
  panel.Click(Ctl::Command2);
  EXPECT_EQ(fake.window.left, -2520);
  EXPECT_EQ(fake.controls.Of(Ctl::Command5).caption, u"造词结束");
}

TEST_F(ModeSwitchTest, AnyOtherCaptionSwitchesNothing) {
  for (const char16_t* caption : {u"", u" -", u"+ ", u"＋"}) {
    fake.controls.SetCaption(Ctl::Command2, caption);
    fake.log.Clear();
    panel.Click(Ctl::Command2);
    EXPECT_EQ(fake.log.entries(), (Log{"Caption Command2?"})) << testing::Utf8(caption);
  }
}

}  // namespace
}  // namespace yg
