// Long seeded runs of random events through every handler of the panel, with the system refusing
// parts of key batches now and then, the desktop changing under the panel, and events arriving
// while a message box or the move loop holds a handler. After every event no key may be down,
// the word-building and mode keys must read one of their two captions, and no handler may have
// failed.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "pads/editing_keys.h"
#include "panel/form1.h"
#include "panel/layout.h"
#include "panel/mode_switch.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::FakePlatform;
using testing::Utf8;

// The buttons a mouse event may carry: left, right, middle and the two side buttons, and
// combinations as a chord would give.
constexpr std::array kButtons{1, 2, 4, 8, 16, 3, 5, 31};
// The layouts the user's program may have: the plain English one and an input method.
constexpr LayoutHandle kEnglish = 0x04090409, kInputMethod = static_cast<LayoutHandle>(0xE0010804);

class RandomRun {
 public:
  explicit RandomRun(unsigned seed) : rng_(seed) {
    for (const LayoutRow& row : LayoutTable()) controls_.push_back(row.control);
    fake_.layouts.installed = {{kEnglish, 0, u"US"}, {kInputMethod, 1, u"雁格输入法"}};
    fake_.layouts.active = kEnglish;
    // The system refuses the tail of one batch in five; the releases that follow go through.
    fake_.keys.SetPolicy([this](std::span<const KeyEvent> events) {
      const bool releasesOnly = std::all_of(events.begin(), events.end(),
                                            [](KeyEvent e) { return e.direction == KeyDirection::Up; });
      return !releasesOnly && Pick(5) == 0 ? Pick(events.size() + 1) : events.size();
    });
    // Events that arrive while a box or the move loop waits, one level deep.
    fake_.window.whileBlocked = [this] {
      if (nested_) return;
      nested_ = true;
      for (std::size_t n = Pick(4); n > 0; --n) OneEvent();
      nested_ = false;
    };
  }

  // Start-up as the system runs it, then `events` random events, then the close.
  void Run(int events, unsigned seed) {
    ASSERT_TRUE(panel_.Initialize());
    panel_.PlaceHidden();
    panel_.Load();
    panel_.Activate();
    for (step_ = 0; step_ < events; ++step_) {
      OneEvent();
      Check(seed);
      if (::testing::Test::HasFatalFailure()) return;
      // What the fakes write down is of no use here, and would only grow.
      if (step_ % 1024 == 0) fake_.log.Clear();
    }
    panel_.Unload();
    Check(seed);
  }

 private:
  std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }

  MouseArgs Mouse() {
    return {kButtons[Pick(kButtons.size())], static_cast<int>(Pick(8)), static_cast<float>(Pick(7000)) - 500,
            static_cast<float>(Pick(2500)) - 500};
  }

  // The desktop around the panel changes: monitors and taskbars, the program in front and its
  // keyboard layout, whether the shell finds the help file.
  void ChangeDesktop() {
    switch (Pick(4)) {
      case 0: {
        const float top = static_cast<float>(Pick(3)) * 600, bottom = 11520 - static_cast<float>(Pick(3)) * 600;
        fake_.displays.workAreas = std::vector<ScreenRect>{{0, top, 15360, bottom}};
        if (Pick(2)) fake_.displays.workAreas->push_back({15360, 0, 15360 + static_cast<float>(Pick(2) + 1) * 9600, 9000});
        break;
      }
      case 1: {
        static constexpr KeyReach kReaches[] = {KeyReach::Reaches, KeyReach::Blocked, KeyReach::Unknown};
        fake_.target.reach = kReaches[Pick(3)];
        break;
      }
      case 2:
        if (Pick(3) == 0) fake_.target.layout.reset();
        else fake_.target.layout = Pick(2) ? kEnglish : kInputMethod;
        break;
      case 3: fake_.shell.executeResult = Pick(2) ? 42 : 2; break;
    }
  }

  void OneEvent() {
    const ControlId c = controls_[Pick(controls_.size())];
    switch (Pick(23)) {
      case 0: case 1: case 2: case 3: panel_.Click(c); break;
      case 4: case 5: panel_.MouseDown(c, Mouse()); break;
      case 6: case 7: panel_.MouseUp(c, Mouse()); break;
      case 8: panel_.CaptureLost(c); break;
      case 9: panel_.DefaultAction(c); break;
      case 10: panel_.GotFocus(c); break;
      case 11: panel_.LostFocus(c); break;
      case 12: panel_.Paint(); break;
      case 13: panel_.MouseMove(); break;
      case 14: panel_.MouseDown(Mouse()); break;
      case 15: panel_.DblClick(); break;
      case 16: panel_.DisplayChanged(); break;
      case 17: panel_.Activate(); break;
      case 18: ChangeDesktop(); break;
      case 19:
        // The user drags the panel somewhere, on or partly off the screen.
        fake_.window.left = static_cast<float>(Pick(24000)) - 6000;
        fake_.window.top = static_cast<float>(Pick(16000)) - 3000;
        break;
      // The pointer rests or moves, time passes with the timers running, hover and hold switched.
      case 20:
        fake_.window.pointer = {Pick(4) ? std::optional(c) : std::nullopt, static_cast<int>(Pick(12)), 0, 96,
                                Pick(4) == 0};
        panel_.PointerMoved(fake_.window.pointer);
        break;
      case 21: fake_.window.Pass(Pick(1500), panel_); break;
      case 22: {
        static constexpr MenuItem kItems[] = {MenuItem::DwellOff, MenuItem::Dwell800, MenuItem::HoldRepeat};
        panel_.MenuChosen(kItems[Pick(3)]);
        break;
      }
    }
  }

  void Check(unsigned seed) {
    const auto held = fake_.keys.HeldKeys();
    ASSERT_TRUE(held.empty()) << "seed " << seed << " step " << step_ << ": key " << int{held[0]} << " left down";
    const std::u16string words = fake_.controls.Of(Ctl::Command5).caption;
    ASSERT_TRUE(words == kWordBuildingOff || words == kWordBuildingOn) << "seed " << seed << ": " << Utf8(words);
    const std::u16string mode = fake_.controls.Of(Ctl::Command2).caption;
    ASSERT_TRUE(mode == kExpandedCaption || mode == kCompactCaption) << "seed " << seed << ": " << Utf8(mode);
    ASSERT_TRUE(fake_.window.fatalErrors.empty())
        << "seed " << seed << " step " << step_ << ": " << Utf8(fake_.window.fatalErrors[0]);
  }

  std::mt19937 rng_;
  std::vector<ControlId> controls_;
  FakePlatform fake_;
  Form1 panel_{fake_.View()};
  bool nested_ = false;
  int step_ = 0;
};

// A million events: ten runs of a hundred thousand, each long enough for a counter of 16 bits to
// run over.
TEST(RandomEvents, AMillionEventsLeaveNoKeyDownAndNoHandlerFailing) {
  for (unsigned seed = 1; seed <= 10; ++seed) {
    RandomRun run(seed);
    run.Run(100000, seed);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace yg
