// The panel window's own events against the fakes: start-up order and geometry, staying on
// top, dragging, the single copy and the exit step.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "panel/form1.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::FakePlatform;
using testing::Utf8;
using Log = std::vector<std::string>;

class StartupTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  Form1 panel{fake.View()};

  Log Calls() const { return fake.log.entries(); }
};

// Shown first, the panel is then sized and placed (StartupGeometry), topmost and non-activating,
// and lists the layouts.
TEST_F(StartupTest, LoadShowsThePanelFirstAndLeavesItTopmostAndNonActivating) {
  ASSERT_TRUE(panel.Initialize());
  fake.log.Clear();
  panel.Load();
  EXPECT_EQ(Calls().front(), "Show");
  EXPECT_EQ(fake.window.width, 5835) << "5840 twips held as 389 whole pixels";
  EXPECT_EQ(fake.window.height, 1800);
  EXPECT_EQ(fake.window.topmostFlags, 0x53u);
  EXPECT_EQ(fake.window.exStyle, 0x08000188u) << "WS_EX_NOACTIVATE added, the rest kept";
  EXPECT_EQ(fake.controls.Of(Ctl::Combo1).entries, (std::vector<std::u16string>{u"English (American)"}));
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

struct GeometryCase {
  const char* name;
  float screenWidth, screenHeight, twipsPerPixel;
  const char* left;
  const char* top;
  double workBottom = 0;  // of a bottom taskbar's work area; 0: none
};

// The value a "Set..." call of the log passed, or "" when there was none.
std::string Passed(const Log& calls, const std::string& call) {
  for (const auto& c : calls) {
    if (c.rfind(call + " ", 0) == 0) return c.substr(call.size() + 1);
  }
  return "";
}

TEST(StartupGeometry, CentresThePanel450TwipsAboveTheScreenBottomOrAboveATallerTaskbar) {
  const GeometryCase cases[] = {
      {"width kept exactly", 15360, 11520, 0, "4760", "9270"},
      {"width held in whole pixels", 15360, 11520, 15, "4762.5", "9270"},
      {"screen narrower than the panel: overhangs both sides", 3000, 11520, 0, "-1420", "9270"},
      {"1920 x 1080", 28800, 16200, 0, "11480", "13950"},
      {"a 30 px taskbar: the gap clears it", 15360, 11520, 0, "4760", "9270", 11070},
      {"a 48 px taskbar: above it", 15360, 11520, 0, "4760", "9000", 10800},
  };
  for (const auto& c : cases) {
    FakePlatform fake;
    fake.window.screenWidth = c.screenWidth;
    fake.window.screenHeight = c.screenHeight;
    fake.window.twipsPerPixel = c.twipsPerPixel;
    if (c.workBottom) fake.displays.workAreas = {{{0, 0, c.screenWidth, c.workBottom}}};
    Form1 panel(fake.View());
    panel.Load();
    EXPECT_EQ(Passed(fake.log.entries(), "Move"), std::string(c.left) + " " + c.top) << c.name;
  }
}

TEST(StartupGeometry, AnInvalidScreenSizeIsFatalBeforeThePanelMoves) {
  const struct {
    float screenWidth;
    const char* error;
  } cases[] = {
      {std::numeric_limits<float>::quiet_NaN(), "Invalid floating-point operation"},
      {std::numeric_limits<float>::infinity(), "Overflow"},
  };
  for (const auto& c : cases) {
    FakePlatform fake;
    fake.window.screenWidth = c.screenWidth;
    Form1 panel(fake.View());
    panel.Load();
    ASSERT_EQ(fake.window.fatalErrors.size(), 1u) << c.error;
    EXPECT_NE(Utf8(fake.window.fatalErrors[0]).find(c.error), std::string::npos) << Utf8(fake.window.fatalErrors[0]);
    EXPECT_EQ(Passed(fake.log.entries(), "Move"), "");
    EXPECT_TRUE(panel.Ended());
  }
}

TEST_F(StartupTest, PlacingTheHiddenWindowFirstLeavesLoadItsOwnOrder) {
  panel.PlaceHidden();
  EXPECT_FALSE(fake.window.visible);
  const float left = fake.window.left, top = fake.window.top;
  fake.log.Clear();
  panel.Load();
  EXPECT_EQ(Calls().at(0), "Show");
  EXPECT_EQ(Calls().at(1), "SetHeight 1800");
  EXPECT_EQ(fake.window.left, left);
  EXPECT_EQ(fake.window.top, top);
}

TEST_F(StartupTest, AFailingWindowFacilityStopsLoadThere) {
  fake.window.failing.insert("SetWidth");
  panel.Load();
  EXPECT_EQ(Calls(), (Log{"Show", "SetHeight 1800", "ReportFatalError"}));
}

TEST_F(StartupTest, ASecondCopyEndsBeforeAnyWindowWork) {
  fake.shell.anotherCopy = true;
  EXPECT_FALSE(panel.Initialize());
  // The running copy learns of it, to show itself should it be hidden.
  EXPECT_EQ(Calls(), (Log{"AnotherCopyRunning?", "TellRunningCopy"}));
  EXPECT_TRUE(fake.window.messages.empty());
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

TEST_F(StartupTest, WindowEventsDoTheirOneThing) {
  const struct {
    const char* event;
    void (Form1::*handler)();
    Log calls;
  } cases[] = {
      {"Activate", &Form1::Activate, {"SetFocus Command2"}},
      {"Paint", &Form1::Paint, {"SetTopmost 0x53"}},
      {"MouseMove", &Form1::MouseMove, {"SetTopmost 0x53"}},
      {"DblClick", &Form1::DblClick, {}},
  };
  for (const auto& c : cases) {
    fake.log.Clear();
    (panel.*c.handler)();
    EXPECT_EQ(Calls(), c.calls) << c.event;
  }
  EXPECT_TRUE(fake.keys.Batches().empty());
}

// The system's move loop ends on a left release only: started by any other button it would leave
// the panel following the pointer with no button held.
TEST_F(StartupTest, OnlyALeftPressOnTheBarePanelDragsIt) {
  const Log drag{"ReleaseMouseCapture", "RunMoveLoop"};
  const struct {
    const char* press;
    MouseArgs args;
    Log calls;
  } cases[] = {
      {"left", {1, 0, 30, 1500}, drag},
      {"left with Shift, Ctrl and Alt", {1, 7, 0, 0}, drag},
      {"right", {2, 0, 30, 1500}, {}},
      {"middle", {4, 0, 30, 1500}, {}},
      {"right with Shift", {2, 1, 0, 0}, {}},
      {"a side button", {8, 0, 0, 0}, {}},
  };
  for (const auto& c : cases) {
    fake.log.Clear();
    panel.MouseDown(c.args);
    EXPECT_EQ(Calls(), c.calls) << c.press;
  }
  EXPECT_TRUE(fake.keys.Batches().empty());
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

TEST_F(StartupTest, UnloadActivatesThePlainLayoutListedAtStartUp) {
  fake.layouts.installed = {{0xE0010804, 1, u"雁格输入法"}, {0x04090409, 0, u""}, {0xE0020804, 1, u"B"}};
  fake.layouts.active = 0xE0010804;
  panel.Load();
  fake.log.Clear();
  panel.Unload();
  EXPECT_EQ(Calls(), (Log{"ActivateLayout 0x4090409"}));
}

}  // namespace
}  // namespace yg
