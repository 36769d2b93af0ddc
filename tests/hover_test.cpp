// Hover to click and hold to repeat against the fakes: when a rest of the pointer clicks, what
// leaving, a click of the user's own and a mode switch do to it, and how many repeats a held key
// makes. The timings are worked out by hand from the keyboard's scales.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "panel/form1.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::Describe;
using testing::FakePlatform;

constexpr const char* kPeriod = "d190 u190";  // 。, Command29
constexpr const char* kBackspace = "d8 u8";

std::string Times(const char* keys, int n) {
  std::string all;
  for (int i = 0; i < n; ++i) all += (all.empty() ? "" : " ") + std::string(keys);
  return all;
}

class HoverTest : public ::testing::Test {
 public:
  // The pointer comes to `control` (none: the bare panel) and the platform reports it.
  void Point(std::optional<ControlId> control, int x = 200, int y = 100, int dpi = 96, bool buttonDown = false) {
    fake.window.pointer = {control, x, y, dpi, buttonDown};
    panel.PointerMoved(fake.window.pointer);
  }
  void Pass(std::uint64_t ms) { fake.window.Pass(ms, panel); }
  // A push button's press and release with the left button, in the order the system reports them:
  // the press; then the capture going, the click (on the key only) and the release.
  void Press(ControlId key) {
    fake.window.pointer.control = key;
    panel.MouseDown(key, {});
  }
  void Release(ControlId key) {
    panel.CaptureLost(key);
    if (fake.window.pointer.control == key) panel.Click(key);
    panel.MouseUp(key, {});
  }
  std::string Keys() const { return Describe(fake.keys.Delivered()); }

  FakePlatform fake;
  Form1 panel{fake.View()};
};

TEST_F(HoverTest, ARestClicksTheKeyOnceAfterTheHoverTime) {
  const struct {
    const char* what;
    std::function<void(HoverTest&)> script;
    std::string keys;
    bool waiting = false;  // a rest's timer still runs at the end
  } cases[] = {
      {"0.75 s is not enough", [](HoverTest& t) { t.Point(Ctl::Command29), t.Pass(750); }, "", true},
      {"0.8 s clicks", [](HoverTest& t) { t.Point(Ctl::Command29), t.Pass(800); }, kPeriod},
      {"3 s more click nothing more", [](HoverTest& t) { t.Point(Ctl::Command29), t.Pass(3800); }, kPeriod},
      {"leaving it and coming back clicks again",
       [](HoverTest& t) {
         t.Point(Ctl::Command29), t.Pass(900), t.Point(std::nullopt), t.Pass(300), t.Point(Ctl::Command29),
             t.Pass(900);
       },
       Times(kPeriod, 2)},
      {"a move of 5 pixels starts the wait anew",
       [](HoverTest& t) { t.Point(Ctl::Command29), t.Pass(400), t.Point(Ctl::Command29, 205), t.Pass(750); }, "",
       true},
      {"at 168 DPI 7 pixels still rest",
       [](HoverTest& t) {
         t.Point(Ctl::Command29, 200, 100, 168), t.Pass(400), t.Point(Ctl::Command29, 207, 100, 168), t.Pass(400);
       },
       kPeriod},
      {"another key starts anew",
       [](HoverTest& t) { t.Point(Ctl::Command29), t.Pass(500), t.Point(Skb(49)), t.Pass(750); }, "", true},
      {"the panel moved under the pointer: the key now under it",
       [](HoverTest& t) { t.Point(Ctl::Command29), t.Pass(500), t.fake.window.pointer.control = Skb(49), t.Pass(900); },
       "d49 u49"},
      {"the key hidden under the pointer",
       [](HoverTest& t) { t.Point(Ctl::Comm1), t.Pass(500), t.fake.window.pointer.control = Ctl::Frame4, t.Pass(900); },
       ""},
      {"a frame, the bare panel, a picture store",
       [](HoverTest& t) {
         t.Point(Ctl::Frame1), t.Pass(900), t.Point(std::nullopt), t.Pass(900), t.Point(Ctl::Image1), t.Pass(900);
       },
       ""},
      {"with a button held down", [](HoverTest& t) { t.Point(Ctl::Command29, 200, 100, 96, true), t.Pass(900); }, ""},
      {"a click of the user's own ends the wait, and the key waits for the pointer to leave",
       [](HoverTest& t) { t.Point(Ctl::Command29), t.Pass(500), t.panel.Click(Ctl::Command29), t.Pass(2000); },
       kPeriod},
      {"a button held down on the key it clicked is no leaving it",
       [](HoverTest& t) {
         t.Point(Ctl::Command29), t.Pass(900), t.Point(Ctl::Command29, 203, 100, 96, true), t.Point(Ctl::Command29, 203);
         t.Pass(2000);
       },
       kPeriod},
      {"退笔 held, dragged off and back, released on it after a repeat: no rest clicks it",
       [](HoverTest& t) {
         t.fake.window.keyRepeat = {0, 0}, t.panel.MenuChosen(MenuItem::HoldRepeat);
         t.Point(Ctl::Command9), t.Press(Ctl::Command9), t.Pass(300), t.Point(std::nullopt, 200, 100, 96, true);
         t.Point(Ctl::Command9, 200, 100, 96, true), t.fake.window.pointer.buttonDown = false, t.Release(Ctl::Command9);
         t.Point(Ctl::Command9, 203), t.Pass(2000), t.panel.MenuChosen(MenuItem::HoldRepeat);
       },
       kBackspace},
      {"a mode switch ends the wait",
       [](HoverTest& t) { t.Point(Ctl::Command29), t.Pass(500), t.panel.DefaultAction(Ctl::Command2), t.Pass(2000); },
       ""},
      {"a message box open meanwhile (the help file missing)",
       [](HoverTest& t) {
         t.Point(Ctl::Command29), t.Pass(300), t.fake.shell.executeResult = 2;
         t.fake.window.whileBlocked = [&t] { t.Pass(900); };
         t.panel.DefaultAction(Ctl::Cmm2), t.fake.window.whileBlocked = nullptr, t.fake.shell.executeResult = 42;
       },
       ""},
      {"switched off meanwhile",
       [](HoverTest& t) { t.Point(Ctl::Command29), t.Pass(500), t.panel.MenuChosen(MenuItem::DwellOff), t.Pass(900); },
       ""},
  };
  for (const auto& c : cases) {
    fake.keys.Clear();
    panel.MenuChosen(MenuItem::Dwell800);
    Point(std::nullopt);
    c.script(*this);
    EXPECT_EQ(Keys(), c.keys) << c.what;
    EXPECT_EQ(fake.window.timers.count(TimerId::Dwell), c.waiting ? 1u : 0u) << c.what;
    EXPECT_EQ(fake.controls.restMark.has_value(), c.waiting) << c.what;
  }
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

TEST_F(HoverTest, TheMarkFillsOverTheWaitAndAStrokeKeyShowsItsPress) {
  panel.MenuChosen(MenuItem::Dwell1200);
  Point(Ctl::Image6);
  Pass(600);
  ASSERT_TRUE(fake.controls.restMark);
  EXPECT_EQ(fake.controls.restMark->control, ControlId(Ctl::Image6));
  EXPECT_DOUBLE_EQ(fake.controls.restMark->done, 0.5);
  Pass(600);
  EXPECT_FALSE(fake.controls.restMark);
  EXPECT_EQ(fake.controls.Of(Ctl::Image6).picture, fake.controls.Of(Ctl::Image5).picture) << "pressed";
  EXPECT_EQ(Keys(), "");
  Pass(100);
  EXPECT_EQ(fake.controls.Of(Ctl::Image6).picture, fake.controls.Of(Ctl::Image4).picture) << "normal";
  EXPECT_EQ(Keys(), "d73 u73");
  EXPECT_TRUE(fake.window.timers.empty());
}

TEST_F(HoverTest, AHeldKeyRepeatsAtTheKeyboardsDelayAndSpeed) {
  // Delay 0 and speed 0: the first repeat at 250 ms, then every 400 ms.
  const KeyboardRepeat slowest{0, 0};
  const struct {
    const char* what;
    KeyboardRepeat repeat;
    std::function<void(HoverTest&)> script;
    std::string keys;
  } cases[] = {
      {"a click types once", slowest, [](HoverTest& t) { t.Press(Ctl::Command9), t.Pass(200), t.Release(Ctl::Command9); },
       kBackspace},
      // 1 + (2010 - 500) / 33.3
      {"held 2.01 s at delay 1 and speed 31", {1, 31},
       [](HoverTest& t) { t.Press(Ctl::Command9), t.Pass(2010), t.Release(Ctl::Command9); }, Times(kBackspace, 46)},
      {"off the key from 0.7 to 1.5 s: the repeats of 1050 and 1450 ms are missed", slowest,
       [](HoverTest& t) {
         t.Press(Ctl::Command9), t.Pass(700), t.fake.window.pointer.control.reset(), t.Pass(800),
             t.fake.window.pointer.control = Ctl::Command9, t.Pass(400), t.Release(Ctl::Command9);
       },
       Times(kBackspace, 3)},
      {"the button clicks before it lets the mouse go", slowest,
       [](HoverTest& t) {
         t.Press(Ctl::Command9), t.Pass(700), t.panel.Click(Ctl::Command9), t.panel.CaptureLost(Ctl::Command9);
         t.panel.MouseUp(Ctl::Command9, {});
       },
       Times(kBackspace, 2)},
      {"released off the key after repeats, then Space on it", slowest,
       [](HoverTest& t) {
         t.Press(Ctl::Command9), t.Pass(700), t.fake.window.pointer.control.reset(), t.Release(Ctl::Command9);
         t.panel.Click(Ctl::Command9);
       },
       Times(kBackspace, 3)},
      {"the mouse taken away: nothing more, and the next click types", slowest,
       [](HoverTest& t) {
         t.Press(Ctl::Command9), t.Pass(700), t.panel.CaptureLost(Ctl::Command9), t.Pass(1000);
         t.Press(Ctl::Command9), t.Release(Ctl::Command9);
       },
       Times(kBackspace, 3)},
      // 83 owed by 3 s at delay 0 and speed 31, a second's worth of them 30.
      {"a panel busy 3 s makes up for no more than a second", {0, 31},
       [](HoverTest& t) { t.Press(Ctl::Command9), t.fake.window.clockMs += 3000, t.Release(Ctl::Command9); },
       Times(kBackspace, 30)},
      {"重写 does not", slowest, [](HoverTest& t) { t.Press(Ctl::Command1), t.Pass(700), t.Release(Ctl::Command1); },
       "d27 u27"},
  };
  for (const auto& c : cases) {
    fake.keys.Clear();
    fake.window.keyRepeat = c.repeat;
    if (!panel.Settings().holdRepeat) panel.MenuChosen(MenuItem::HoldRepeat);
    c.script(*this);
    EXPECT_EQ(Keys(), c.keys) << c.what;
    EXPECT_TRUE(fake.window.timers.empty()) << c.what;
  }
  // Switched off, a key held 2 s is a click.
  fake.keys.Clear();
  panel.MenuChosen(MenuItem::HoldRepeat);
  Press(Ctl::Command9), Pass(2000), Release(Ctl::Command9);
  EXPECT_EQ(Keys(), kBackspace);
  EXPECT_TRUE(fake.window.timers.empty());
}

TEST_F(HoverTest, APressOnAKeyThatRepeatsLeavesTheTipToItsClick) {
  fake.tip.shown = u"tip";
  Press(Ctl::Command9), fake.window.pointer.control.reset(), Release(Ctl::Command9);  // let go off the key
  EXPECT_TRUE(fake.tip.shown);
}

TEST_F(HoverTest, ARestOnARepeatingKeyClicksThenRepeatsUntilThePointerLeaves) {
  fake.window.keyRepeat = {0, 0};
  panel.MenuChosen(MenuItem::Dwell800);
  panel.MenuChosen(MenuItem::HoldRepeat);
  Point(Ctl::Command9);
  // The rest's click at 800 ms, repeats at 1050, 1450 and 1850.
  Pass(1900);
  EXPECT_EQ(Keys(), Times(kBackspace, 4));
  Point(std::nullopt);
  Pass(2000);
  EXPECT_EQ(Keys(), Times(kBackspace, 4));
  EXPECT_TRUE(fake.window.timers.empty());
}

}  // namespace
}  // namespace yg
