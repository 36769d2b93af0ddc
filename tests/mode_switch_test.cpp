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

// Each switch leaves the whole geometry of its mode, however often it runs; the left moves by
// 3020 twips either way.
TEST_F(ModeSwitchTest, EachSwitchLeavesItsModesGeometryAndPairsComeBackToTheSameLeft) {
  const struct {
    const char* mode;
    float width, height, shift, frame4, frame6, command5;
    const char16_t* caption;
    bool wide;  // Frame1 and the bottom row's punctuation shown
  } modes[] = {
      {"compact", 2840, 1450, 3020, 0, 1835, 1120, u"+", false},
      {"expanded", 5860, 1800, -3020, 3000, 4860, 1440, u"-", true},
  };
  const float startRight = Right();
  for (int click = 0; click < 6; ++click) {
    const auto& m = modes[click % 2];
    const float left = fake.window.left;
    panel.Click(Ctl::Command2);
    EXPECT_EQ(fake.window.left, left + m.shift) << m.mode << " " << click;
    EXPECT_EQ(fake.window.width, m.width) << m.mode << " " << click;
    EXPECT_EQ(fake.window.height, m.height) << m.mode << " " << click;
    EXPECT_EQ(fake.controls.Of(Ctl::Frame4).left, m.frame4) << m.mode << " " << click;
    EXPECT_EQ(fake.controls.Of(Ctl::Frame6).left, m.frame6) << m.mode << " " << click;
    EXPECT_EQ(fake.controls.Of(Ctl::Command5).height, m.command5) << m.mode << " " << click;
    EXPECT_EQ(fake.controls.Of(Ctl::Command2).caption, m.caption) << m.mode << " " << click;
    for (Ctl c : {Ctl::Frame1, Ctl::Command19, Ctl::Command29, Ctl::Command35})
      EXPECT_EQ(fake.controls.Of(c).visible, m.wide) << m.mode << " " << click << " " << ControlName(c);
  }
  // From the start width 5840 the right edge moved once, by 20 twips, and stays there since.
  EXPECT_EQ(Right(), startRight + 20);
}

TEST_F(ModeSwitchTest, CompactModeHidesTheRadicalsButNotTheOnesOnThePanel) {
  panel.Click(Ctl::Command2);
  for (Ctl hidden : {Ctl::Comm1, Ctl::Command71}) EXPECT_FALSE(fake.controls.Shown(hidden)) << ControlName(hidden);
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
