// Out of the way: the opacity that follows the pointer, the key combination and the notification
// icon that hide and show the panel, and a second start, against the fakes.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "panel/form1.h"
#include "panel/out_of_way.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::CallLog;
using testing::FakePanelWindow;
using testing::FakePlatform;
using testing::Utf8;

// After each step: the window's alpha (nothing: an ordinary window) and the period of the fade's
// timer (0: none runs). The alphas are worked out by hand: 60% is 153 of 255, 40% is 102, and
// the fade goes in eight equal steps of whole numbers.
TEST(IdleFade, FollowsThePointerTheThemeAndTheSetting) {
  CallLog log;
  FakePanelWindow window(log);
  IdleFade fade(window);
  const auto ticks = [&](int n) {
    for (int i = 0; i < n; ++i) fade.Tick();
  };
  const struct {
    const char* what;
    std::function<void()> act;
    std::optional<int> alpha;
    unsigned timer;
  } steps[] = {
      {"off, whatever happens", [&] { fade.Configure(100, false), fade.PointerOver(), fade.Shown(), ticks(20); },
       std::nullopt, 0},
      {"60% chosen: opaque, looking for the pointer", [&] { fade.Configure(60, false); }, 255, 100},
      {"nine looks miss it: still opaque", [&] { ticks(9); }, 255, 100},
      {"the tenth: the fade begins", [&] { ticks(1); }, 255, 30},
      {"half way", [&] { ticks(4); }, 204, 30},
      {"faded, and nothing runs", [&] { ticks(4); }, 153, 0},
      {"the pointer comes: opaque at once", [&] { fade.PointerOver(); }, 255, 100},
      {"and stays: no fade however long", [&] { window.pointerOver = true, ticks(40); }, 255, 100},
      {"it leaves; two steps of the fade", [&] { window.pointerOver = false, ticks(12); }, 230, 30},
      {"back during the fade: opaque", [&] { window.pointerOver = true, ticks(1); }, 255, 100},
      {"high contrast: an ordinary window", [&] { fade.Configure(60, true); }, std::nullopt, 0},
      {"no high contrast: opaque, looking", [&] { fade.Configure(60, false); }, 255, 100},
      {"another system setting: no change", [&] { window.pointerOver = false, ticks(12), fade.Configure(60, false); },
       230, 30},
      {"hidden: nothing runs", [&] { fade.Hidden(), fade.PointerOver(), ticks(1); }, 230, 0},
      {"shown again: opaque, looking", [&] { fade.Shown(); }, 255, 100},
      {"40% faded", [&] { fade.Configure(40, false), ticks(18); }, 102, 0},
      {"off: an ordinary window again", [&] { fade.Configure(100, false); }, std::nullopt, 0},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_EQ(window.opacity, s.alpha ? std::optional<std::uint8_t>(*s.alpha) : std::nullopt) << s.what;
    const auto timer = window.timers.find(TimerId::IdleFade);
    EXPECT_EQ(timer == window.timers.end() ? 0u : timer->second, s.timer) << s.what;
  }
}

void Start(Form1& panel) {
  ASSERT_TRUE(panel.Initialize());
  panel.PlaceHidden();
  panel.Load();
}

void Store(FakePlatform& fake, std::u16string_view name, std::uint32_t value) {
  fake.settings.values[{SettingsKey::Panel, std::u16string(name)}] = StoredValue::Number(value);
}

const KeyChord kCtrlAltK{KeyChord::kCtrl | KeyChord::kAlt, 75};

TEST(OutOfWay, AFirstStartHoldsNoKeysShowsNoIconAndIgnoresTheirEvents) {
  FakePlatform fake;
  Form1 panel(fake.View());
  Start(panel);
  fake.log.Clear();
  panel.HotkeyPressed();
  panel.IconClicked();
  panel.TaskbarCreated();
  panel.StartedAgain();
  panel.PointerOver();
  panel.ColoursChanged();
  panel.Unload();
  EXPECT_FALSE(fake.hotkey.held);
  EXPECT_EQ(fake.icon.adds, 0);
  EXPECT_FALSE(fake.window.opacity);
  EXPECT_TRUE(fake.window.timers.empty());
  EXPECT_TRUE(fake.window.visible);
  EXPECT_EQ(fake.log.entries(), (std::vector<std::string>{"ActivateLayout 0x4090409"})) << "only the exit step";
}

TEST(OutOfWay, AHighContrastThemeKeepsTheFadingPanelOpaqueFromTheStart) {
  FakePlatform fake;
  Store(fake, u"IdleOpacity", 60);
  fake.window.highContrast = true;
  Form1 panel(fake.View());
  Start(panel);
  EXPECT_FALSE(fake.window.opacity);
  EXPECT_TRUE(fake.window.timers.empty());
  fake.window.highContrast = false;
  panel.ColoursChanged();
  EXPECT_EQ(fake.window.opacity, 255) << "the theme switched off: opaque, and fading a moment later";
  EXPECT_FALSE(fake.window.timers.empty());
}

TEST(OutOfWay, TheKeyCombinationIsTakenOnlyWhenTheSystemGivesIt) {
  const struct {
    const char* what;
    bool storedOn, refused, chosen;
    bool held, tip, stored;
  } cases[] = {
      {"chosen, the keys free", false, false, true, true, false, true},
      {"chosen, another program holds them", false, true, true, false, true, false},
      {"on at start, the keys free", true, false, false, true, false, true},
      {"on at start, another program holds them: the wish is kept", true, true, false, false, true, true},
  };
  for (const auto& c : cases) {
    FakePlatform fake;
    if (c.storedOn) Store(fake, u"Hotkey", 1);
    fake.hotkey.refuse = c.refused;
    Form1 panel(fake.View());
    Start(panel);
    if (c.chosen) panel.MenuChosen(MenuItem::Hotkey);
    EXPECT_EQ(fake.hotkey.held, c.held ? std::optional(kCtrlAltK) : std::nullopt) << c.what;
    EXPECT_EQ(fake.tip.shown, c.tip ? std::optional(std::u16string(kHotkeyRefusedTip)) : std::nullopt) << c.what;
    EXPECT_EQ(fake.settings.Panel(u"Hotkey"), c.stored ? StoredValue::Number(1) : StoredValue{}) << c.what;
    panel.MenuOpening();
    EXPECT_EQ(fake.window.menuChecks[MenuItem::Hotkey], c.held) << c.what;
  }
}

TEST(OutOfWay, AHiddenPanelComesBackWhereItWasWithoutTheKeyboardAndEndsCleanly) {
  FakePlatform fake;
  fake.window.twipsPerPixel = 0;
  for (auto name : {u"Hotkey", u"TrayIcon", u"RememberPlace"}) Store(fake, name, 1);
  Form1 panel(fake.View());
  Start(panel);
  panel.Click(Ctl::Command2);  // compact, at 4760 + 3020
  fake.log.Clear();
  panel.StartedAgain();
  EXPECT_TRUE(fake.log.entries().empty()) << "a second start leaves a shown panel alone";
  const std::function<void()> hideAndShow[][2] = {
      {[&] { panel.HotkeyPressed(); }, [&] { panel.HotkeyPressed(); }},
      {[&] { panel.IconClicked(); }, [&] { panel.IconClicked(); }},
      {[&] { panel.MenuChosen(MenuItem::ShowHide); }, [&] { panel.MenuChosen(MenuItem::ShowHide); }},
      {[&] { panel.HotkeyPressed(); }, [&] { panel.StartedAgain(); }},
  };
  for (const auto& [hide, show] : hideAndShow) {
    hide();
    EXPECT_FALSE(fake.window.visible);
    show();
    EXPECT_TRUE(fake.window.visible);
  }
  // Shown with SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE: nothing moves.
  for (const auto& call : fake.log.entries()) EXPECT_TRUE(call == "Hide" || call == "SetTopmost 0x53") << call;
  EXPECT_EQ(fake.controls.Of(Ctl::Command2).caption, u"+");

  panel.HotkeyPressed();
  panel.MenuChosen(MenuItem::Exit);
  EXPECT_TRUE(fake.window.closed) << "as by the close box, which unloads the panel";
  panel.Unload();
  EXPECT_EQ(fake.settings.Panel(u"Left"), StoredValue::Number(7780));
  EXPECT_FALSE(fake.icon.shown);
  EXPECT_FALSE(fake.hotkey.held);
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

TEST(OutOfWay, TheIconHasTheProgramsNameAndFollowsTheSetting) {
  FakePlatform fake;
  Form1 panel(fake.View());
  Start(panel);
  panel.TaskbarCreated();
  EXPECT_EQ(fake.icon.adds, 0) << "off: a new taskbar gets no icon";
  panel.MenuChosen(MenuItem::TrayIcon);
  EXPECT_EQ(fake.icon.shown, u"雁格输入法按键面板");
  EXPECT_EQ(fake.settings.Panel(u"TrayIcon"), StoredValue::Number(1));
  panel.TaskbarCreated();
  EXPECT_EQ(fake.icon.adds, 2) << "Explorer started again: the icon is put back";

  // Switched off from its own menu while the panel is hidden, with no key combination: nothing
  // else would bring the panel back.
  panel.IconClicked();
  ASSERT_FALSE(fake.window.visible);
  panel.MenuChosen(MenuItem::TrayIcon);
  EXPECT_FALSE(fake.icon.shown);
  EXPECT_TRUE(fake.window.visible);
  EXPECT_EQ(fake.settings.Panel(u"TrayIcon"), StoredValue::Number(0));
}

}  // namespace
}  // namespace yg
