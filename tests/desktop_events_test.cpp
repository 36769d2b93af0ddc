// The panel among the monitors and the programs around it, against the fakes: the way back onto
// the screen after a display change, and the tips that warn of keys that will not become text.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "panel/form1.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::FakePlatform;
using testing::Utf8;

constexpr LayoutHandle kPlainLayout = 0x04090409, kInputMethod = 0xE0010804;
// Layouts whose language ImmIsIME misjudges: an input method of the text services on a Chinese
// layout it calls none, and a German layout it calls one (as it may call every layout).
constexpr LayoutHandle kChineseTextServices = 0x08040804, kGermanCalledAnInputMethod = 0x04070407;

class DesktopTest : public ::testing::Test {
 protected:
  DesktopTest() {
    fake.layouts.installed = {{kInputMethod, 1, u"雁格输入法"},
                              {kPlainLayout, 0, u""},
                              {kChineseTextServices, 0, u""},
                              {kGermanCalledAnInputMethod, 1, u"?"}};
    fake.layouts.active = kInputMethod;
  }

  FakePlatform fake;
  Form1 panel{fake.View()};
};

TEST_F(DesktopTest, ADisplayChangeBringsAStrandedPanelBackAndLeavesAnotherAlone) {
  panel.Load();
  const ScreenRect primary{0, 0, 15360, 11520}, right{15360, 0, 30720, 11520};
  fake.displays.workAreas = {{primary, right}};
  fake.window.left = 20000;  // dragged onto the right-hand monitor
  fake.log.Clear();
  panel.DisplayChanged();
  EXPECT_TRUE(fake.log.entries().empty()) << "wholly on a monitor: nothing to do";

  fake.window.left = 14000;  // dragged half off the primary, onto the other one
  panel.DisplayChanged();
  EXPECT_EQ(fake.window.left, 15360) << "onto the monitor it needs to move least for";

  const float top = fake.window.top;
  fake.displays.workAreas = {{primary}};  // that monitor is unplugged
  panel.DisplayChanged();
  EXPECT_EQ(fake.window.left, 15360 - fake.window.width);
  EXPECT_EQ(fake.window.top, top) << "its height on the screen is kept";
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

TEST_F(DesktopTest, NothingIsMovedUntilTheDisplayChanges) {
  panel.Load();
  fake.window.left = -3000;  // the user dragged it partly off the screen
  panel.Click(Ctl::Comm1);
  panel.Paint();
  panel.MouseMove();
  EXPECT_EQ(fake.window.left, -3000);
  panel.DisplayChanged();
  EXPECT_EQ(fake.window.left, 0);
}

struct TipCase {
  const char* name;
  ControlId control;
  KeyReach reach;
  std::optional<LayoutHandle> layout;
  std::optional<std::u16string_view> tip;
};

TEST_F(DesktopTest, ATipWarnsOfKeysThatWillNotBecomeTextAndTheKeysGoOutAnyway) {
  const TipCase cases[] = {
      {"radical, input method", Ctl::Comm1, KeyReach::Reaches, kInputMethod, std::nullopt},
      {"radical, plain layout", Ctl::Comm1, KeyReach::Reaches, kPlainLayout, kNoInputMethodTip},
      {"radical, elevated target", Ctl::Comm1, KeyReach::Blocked, kInputMethod, kElevatedTargetTip},
      {"elevated comes first", Ctl::Comm1, KeyReach::Blocked, kPlainLayout, kElevatedTargetTip},
      {"reach unknown: the layout still counts", Ctl::Comm1, KeyReach::Unknown, kPlainLayout, kNoInputMethodTip},
      {"reach unknown, input method", Ctl::Comm1, KeyReach::Unknown, kInputMethod, std::nullopt},
      {"no foreground window", Ctl::Comm1, KeyReach::Reaches, std::nullopt, std::nullopt},
      {"radical, Chinese text-services layout", Ctl::Comm1, KeyReach::Reaches, kChineseTextServices, std::nullopt},
      {"radical, Chinese of Hong Kong", Ctl::Comm1, KeyReach::Reaches, 0x0C040C04, std::nullopt},
      {"radical, German layout", Ctl::Comm1, KeyReach::Reaches, kGermanCalledAnInputMethod, kNoInputMethodTip},
      {"radical, Japanese input method", Ctl::Comm1, KeyReach::Reaches, 0xE0010411, kNoInputMethodTip},
      {"common character, plain layout", Ctl::Command12, KeyReach::Reaches, kPlainLayout, kNoInputMethodTip},
      {"phrase 你好, plain layout", Ctl::Command17, KeyReach::Reaches, kPlainLayout, kNoInputMethodTip},
      {"phrase 哇, plain layout", Ctl::Command23, KeyReach::Reaches, kPlainLayout, kNoInputMethodTip},
      {"punctuation, plain layout", Ctl::Command29, KeyReach::Reaches, kPlainLayout, std::nullopt},
      {"punctuation, elevated", Ctl::Command16, KeyReach::Blocked, kPlainLayout, kElevatedTargetTip},
      {"editing key, plain layout", Ctl::Command1, KeyReach::Reaches, kPlainLayout, std::nullopt},
      {"candidate key, plain layout", Skb(49), KeyReach::Reaches, kPlainLayout, std::nullopt},
      {"candidate key, elevated", Skb(49), KeyReach::Blocked, kInputMethod, kElevatedTargetTip},
      {"word building, elevated", Ctl::Command5, KeyReach::Blocked, kInputMethod, kElevatedTargetTip},
      {"word building, plain layout", Ctl::Command5, KeyReach::Reaches, kPlainLayout, std::nullopt},
  };
  for (const auto& c : cases) {
    FakePlatform f;
    f.layouts.installed = fake.layouts.installed;
    f.target.reach = c.reach;
    f.target.layout = c.layout;
    Form1 p(f.View());
    p.Click(c.control);
    EXPECT_EQ(f.keys.Batches().size(), 1u) << c.name << ": the keys went out";
    EXPECT_EQ(f.tip.shown, c.tip ? std::optional<std::u16string>(*c.tip) : std::nullopt) << c.name;
  }
}

TEST_F(DesktopTest, ControlsThatSendNoKeysWarnOfNothing) {
  fake.target.reach = KeyReach::Blocked;
  fake.target.layout = kPlainLayout;
  panel.Load();
  for (ControlId control : {ControlId(Ctl::Command2), ControlId(Ctl::Cmm2), ControlId(Ctl::Frame1)}) {
    panel.Click(control);
    EXPECT_FALSE(fake.tip.shown) << ControlName(control);
  }
  EXPECT_TRUE(fake.keys.Batches().empty());
}

TEST_F(DesktopTest, StrokeKeysTypeLettersButWarnOnlyOfAnElevatedTarget) {
  fake.target.layout = kPlainLayout;
  panel.MouseDown(Ctl::Image3, {});
  panel.MouseUp(Ctl::Image3, {});
  EXPECT_FALSE(fake.tip.shown);
  fake.target.reach = KeyReach::Blocked;
  panel.MouseDown(Ctl::Image6, {});
  panel.MouseUp(Ctl::Image6, {});
  EXPECT_EQ(fake.tip.shown, std::u16string(kElevatedTargetTip));
  EXPECT_EQ(fake.keys.Batches().size(), 2u);
}

TEST_F(DesktopTest, TheTipBeforeAndTheTargetWaitUntilTheKeysWentOut) {
  fake.target.layout = kPlainLayout;
  fake.target.log = &fake.log;
  fake.tip.log = &fake.log;
  panel.Click(Ctl::Comm1);  // its tip still shows when the next click comes
  fake.log.Clear();
  panel.Click(Ctl::Comm1);
  const auto& calls = fake.log.entries();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[0].rfind("Inject d73", 0), 0u) << calls[0];
  EXPECT_EQ(calls[1], "HideTip");
  EXPECT_EQ(calls[2], "KeysReachFocus?");
  EXPECT_EQ(calls.back(), "ShowTip " + Utf8(kNoInputMethodTip));
}

TEST_F(DesktopTest, TheNextClickOrPressTakesTheTipAway) {
  fake.target.layout = kPlainLayout;
  panel.Load();
  const struct {
    const char* name;
    void (*press)(Form1&);
  } presses[] = {
      {"a click on a punctuation key", [](Form1& p) { p.Click(Ctl::Command29); }},
      {"a click on the mode key", [](Form1& p) { p.Click(Ctl::Command2); }},
      {"a press on a stroke key", [](Form1& p) { p.MouseDown(Ctl::Image9, {}); }},
      {"a press on the bare panel", [](Form1& p) { p.MouseDown(MouseArgs{}); }},
      {"a right press on the bare panel", [](Form1& p) { p.MouseDown(MouseArgs{2}); }},
      {"a press on the title bar", [](Form1& p) { p.NonClientMouseDown(); }},
      {"a change of the displays, which places the panel anew", [](Form1& p) { p.DisplayChanged(); }},
  };
  for (const auto& press : presses) {
    panel.Click(Ctl::Comm1);
    ASSERT_TRUE(fake.tip.shown) << press.name;
    press.press(panel);
    EXPECT_FALSE(fake.tip.shown) << press.name;
  }
  // A second warning after the first replaces it.
  panel.Click(Ctl::Comm1);
  panel.Click(Ctl::Comm2);
  EXPECT_EQ(fake.tip.shows, 9);
  EXPECT_TRUE(fake.tip.shown);
}

TEST_F(DesktopTest, TheTipStandsByThePanelInsideItsWorkArea) {
  fake.target.layout = kPlainLayout;
  fake.window.twipsPerPixel = 0;
  panel.Load();  // 5840 x 1800 on a 15360 x 11520 screen
  panel.Click(Ctl::Comm1);
  const ScreenRect& tip = fake.tip.place;
  EXPECT_LE(tip.Width(), 5840) << "no wider than the panel";
  EXPECT_EQ(tip.bottom, testing::kStartTop - 45) << "just above the panel";
  EXPECT_EQ(tip.left - testing::kStartLeft, testing::kStartLeft + 5840 - tip.right) << "centred on it";

  fake.window.top = 0;
  fake.window.left = 12000;  // partly off the right edge
  panel.Click(Ctl::Comm1);
  EXPECT_EQ(fake.tip.place.top, 1800 + 45) << "below a panel at the top of the screen";
  EXPECT_LE(fake.tip.place.right, 15360) << "inside the screen";
}

TEST_F(DesktopTest, OnASecondMonitorNarrowerThanThePanelTheTipStaysInsideThatMonitorsWorkArea) {
  fake.target.layout = kPlainLayout;
  fake.window.twipsPerPixel = 0;
  const ScreenRect narrow{15360, 0, 19360, 11520};  // a portrait monitor right of the primary
  fake.displays.workAreas = {{{0, 0, 15360, 11520}, narrow}};
  panel.Load();
  fake.window.left = 15360;  // standing on it, overhanging its right edge
  panel.Click(Ctl::Comm1);
  const ScreenRect& tip = fake.tip.place;
  EXPECT_TRUE(tip.left >= narrow.left && tip.right <= narrow.right)
      << "tip " << tip.left << ".." << tip.right << ", work area 15360..19360";
}

}  // namespace
}  // namespace yg
