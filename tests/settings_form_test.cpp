// The settings in the panel's life, against the fakes: what a start takes from them, what the
// panel stores as it changes, the window menu's items and check marks, and stores that fail.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "panel/form1.h"
#include "panel/mode_switch.h"
#include "panel/placement.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::FakePlatform;
using testing::FakeSettingsStore;
using testing::kStartLeft;
using testing::kStartTop;
using testing::Utf8;

const std::u16string kSignIn(setting::kSignInValue);

// Starts the panel the way wWinMain does.
void Start(Form1& panel) {
  ASSERT_TRUE(panel.Initialize());
  panel.PlaceHidden();
  panel.Load();
}

void Store(FakeSettingsStore& store, std::u16string_view name, std::int64_t value) {
  store.values[{SettingsKey::Panel, std::u16string(name)}] = StoredValue::Number(static_cast<std::uint32_t>(value));
}

std::int32_t Number(const FakeSettingsStore& store, std::u16string_view name) {
  const StoredValue& v = store.Panel(name);
  EXPECT_EQ(v.kind, StoredValue::Kind::Number) << Utf8(name);
  return static_cast<std::int32_t>(v.number);
}

bool Compact(const FakePlatform& fake) { return fake.controls.Of(Ctl::Command2).caption == kCompactCaption; }

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { fake.window.twipsPerPixel = 0; }  // places exactly as set
  FakePlatform fake;
  Form1 panel{fake.View()};
};

TEST_F(SettingsTest, AFirstStartIsTheUsualOneAndStoresNothing) {
  Start(panel);
  EXPECT_EQ(fake.window.left, kStartLeft);
  EXPECT_EQ(fake.window.top, kStartTop);
  EXPECT_FALSE(Compact(fake));
  for (const auto& entry : fake.log.entries()) EXPECT_EQ(entry.find("SetKeySize"), std::string::npos) << entry;
  fake.window.left = 1000;
  panel.MoveEnded();
  panel.Click(Ctl::Command2);
  panel.Unload();
  EXPECT_TRUE(fake.settings.values.empty()) << "not remembering: no place is kept";
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

constexpr float kPixel168 = 1440.f / 168;

TEST(RememberedStart, TakesThePlaceWhereItLiesWhollyOnAMonitorAndTheModeAlways) {
  const ScreenRect primary{0, 0, 15360, 11520}, right{15360, 0, 30720, 11520};
  const ScreenRect aboveTaskbar{0, 0, 15360, 10800};
  const struct {
    const char* what;
    std::vector<ScreenRect> areas;
    std::int32_t left, top;
    bool compact;
    float expectedLeft, expectedTop;
    double thinnerFrame = 0;
    float twipsPerPixel = 0;
  } cases[] = {
      {"expanded, on the primary monitor", {primary}, 1200, 300, false, 1200, 300},
      {"compact, where it was", {primary}, 12000, 9600, true, 12000, 9600},
      {"on the right-hand monitor", {primary, right}, 20000, 5000, false, 20000, 5000},
      {"that monitor is gone: the usual place", {primary}, 20000, 5000, false, kStartLeft, kStartTop},
      {"compact, its monitor gone: compact from the usual place", {primary}, 20000, 5000, true, kStartLeft + 3020,
       kStartTop},
      {"partly off the screen", {primary}, 10000, 9270, false, kStartLeft, kStartTop},
      {"across two monitors", {primary, right}, 12000, 5000, false, kStartLeft, kStartTop},
      {"partly under a taskbar that came since", {aboveTaskbar}, 1200, 9270, false, kStartLeft, 9000},
      {"no monitor known", {}, 1200, 300, false, kStartLeft, kStartTop},
      // The system's frame thinner than the twips allow for: an outline flush with the edges.
      {"flush with the top-left corner", {primary}, -30, -30, false, -30, -30, 30},
      {"flush with the taskbar, compact", {aboveTaskbar}, 12550, 9380, true, 12550, 9380, 30},
      {"a frame's width past the corner", {primary}, -60, -60, false, kStartLeft, kStartTop, 30},
      // At 168 DPI a frame of 3 pixels, the place stored in whole twips, the window in pixels.
      {"flush with the corner at 168 DPI", {primary}, -19, -28, false, -2 * kPixel168, -3 * kPixel168,
       3 * kPixel168, kPixel168},
  };
  for (const auto& c : cases) {
    FakePlatform fake;
    fake.window.twipsPerPixel = c.twipsPerPixel;
    fake.displays.workAreas = c.areas;
    fake.displays.thinnerFrame = c.thinnerFrame;
    Store(fake.settings, u"RememberPlace", 1);
    Store(fake.settings, u"Left", c.left);
    Store(fake.settings, u"Top", c.top);
    Store(fake.settings, u"Compact", c.compact);
    Form1 panel(fake.View());
    Start(panel);
    EXPECT_EQ(fake.window.left, c.expectedLeft) << c.what;
    EXPECT_EQ(fake.window.top, c.expectedTop) << c.what;
    EXPECT_EQ(Compact(fake), c.compact) << c.what;
    EXPECT_NEAR(fake.window.width, c.compact ? 2840 : 5840, c.twipsPerPixel) << c.what;
    EXPECT_EQ(fake.controls.Shown(Ctl::Comm1), !c.compact) << c.what;
    EXPECT_TRUE(fake.window.visible) << c.what;
    EXPECT_TRUE(fake.window.fatalErrors.empty()) << c.what;
  }
}

// A primary monitor of 1024 x 768 pixels at 100% and, right of it, one of 1920 x 1080 at 150%.
// The place names the same spot whatever the scaling of the monitor the window is made on, and
// the panel takes the scaling of the monitor there; start-up stores nothing while it places.
TEST(RememberedStart, ComesBackToItsSpotAtTheScalingOfItsMonitor) {
  const std::vector<ScreenRect> areas{{0, 0, 15360, 11520}, {15360, 0, 44160, 16200}};  // twips at 96 DPI
  const struct {
    const char* what;
    unsigned madeAt;  // the DPI of the monitor the hidden window is made on
    std::int32_t left, top;
    std::optional<std::uint32_t> placeDpi;  // nothing: stored by an earlier version
    unsigned dpi;                           // where it comes back: the monitor's DPI, and
    float expectedLeft, expectedTop;        // the place in twips at that scale
  } cases[] = {
      // 2000 pixels from the left: 19955 twips at 150% to the window's corner, 20000 to its client area.
      {"on the 150% monitor, made on the primary", 96, 19955, 3000, 144, 144, 19955, 3000},
      {"on the 150% monitor, made there", 144, 19955, 3000, 144, 144, 19955, 3000},
      {"on the primary, made on the 150% monitor", 144, 1200, 300, 96, 96, 1200, 300},
      {"stored by an earlier version, on the primary", 96, 1200, 300, std::nullopt, 96, 1200, 300},
      {"past both monitors: the usual place", 96, 50000, 3000, 144, 96, kStartLeft, kStartTop},
  };
  for (const auto& c : cases) {
    FakePlatform fake;
    fake.window.twipsPerPixel = 0;
    fake.window.dpi = c.madeAt;
    const float twipsPerPixel = 1440.f / static_cast<float>(c.madeAt);
    fake.window.screenWidth = 1024 * twipsPerPixel;
    fake.window.screenHeight = 768 * twipsPerPixel;
    fake.window.left = (c.madeAt == 96 ? 100 : 1100) * twipsPerPixel;
    fake.window.monitorDpi = [](const ScreenRect& pixels) { return pixels.left >= 1024 ? 144u : 96u; };
    fake.displays.workAreas = areas;
    fake.displays.workAreasScale = 96;
    Store(fake.settings, u"RememberPlace", 1);
    Store(fake.settings, u"Left", c.left);
    Store(fake.settings, u"Top", c.top);
    if (c.placeDpi) Store(fake.settings, u"PlaceDpi", *c.placeDpi);
    const auto stored = fake.settings.values;
    Form1 panel(fake.View());
    fake.window.dpiChanged = [&] { panel.DisplayChanged(); };
    Start(panel);
    EXPECT_EQ(fake.window.dpi, c.dpi) << c.what;
    EXPECT_EQ(fake.window.left, c.expectedLeft) << c.what;
    EXPECT_EQ(fake.window.top, c.expectedTop) << c.what;
    EXPECT_EQ(fake.window.width, 5840) << c.what;
    EXPECT_TRUE(fake.settings.values == stored) << c.what;
    EXPECT_TRUE(fake.window.fatalErrors.empty()) << c.what;
  }
}

TEST_F(SettingsTest, ARememberedCompactPanelExpandsBackToWhereTheExpandedOneStood) {
  Store(fake.settings, u"RememberPlace", 1);
  Store(fake.settings, u"Left", 9000);
  Store(fake.settings, u"Top", 9000);
  Store(fake.settings, u"Compact", 1);
  Start(panel);
  panel.Click(Ctl::Command2);
  EXPECT_FALSE(Compact(fake));
  EXPECT_EQ(fake.window.left, 9000 - 3020);
  EXPECT_EQ(fake.window.width, 5860);
}

TEST_F(SettingsTest, KeySizeAndRemoteModeTakeEffectBeforeTheWindowIsMade) {
  Store(fake.settings, u"KeySize", 150);
  Store(fake.settings, u"RemoteDesktop", 1);
  fake.layouts.scanCodes = {{27, 0x01}};
  ASSERT_TRUE(panel.Initialize());
  EXPECT_EQ(fake.log.entries(), (std::vector<std::string>{"AnotherCopyRunning?", "SetKeySize 150"}));
  panel.PlaceHidden();
  panel.Load();
  panel.Click(Ctl::Command1);  // Escape
  EXPECT_EQ(fake.keys.Delivered(), (std::vector<KeyEvent>{{27, KeyDirection::Down, 0x01}, {27, KeyDirection::Up, 0x01}}));
}

TEST_F(SettingsTest, WhileRememberingEveryChangeOfPlaceOrModeIsStored) {
  Start(panel);
  panel.MenuChosen(MenuItem::RememberPlace);
  EXPECT_EQ(Number(fake.settings, u"RememberPlace"), 1);
  EXPECT_EQ(Number(fake.settings, u"Left"), kStartLeft) << "stored as soon as it is switched on";

  const struct {
    const char* change;
    std::function<void()> make;
    std::int32_t left, top;
    bool compact;
  } steps[] = {
      {"a drag", [&] { fake.window.left = -200, fake.window.top = 400, panel.MoveEnded(); }, -200, 400, false},
      {"a switch to compact", [&] { panel.Click(Ctl::Command2); }, 2820, 400, true},
      {"a display change that moved it",
       [&] { fake.window.top = 11000, panel.DisplayChanged(); }, 2820, 11520 - 1450, true},
      {"a switch back", [&] { panel.Click(Ctl::Command2); }, -200, 10070, false},
      // The corner keeps its pixel; the twips of the screen shrink by a third.
      {"a key size of 150%",
       [&] { fake.window.left = 1500, fake.window.top = 1500, panel.MenuChosen(MenuItem::KeySize150); }, 1000,
       1000, false},
      {"the exit", [&] { fake.window.left = 333, panel.Unload(); }, 333, 1000, false},
  };
  for (const auto& s : steps) {
    s.make();
    EXPECT_EQ(Number(fake.settings, u"Left"), s.left) << s.change;
    EXPECT_EQ(Number(fake.settings, u"Top"), s.top) << s.change;
    EXPECT_EQ(Number(fake.settings, u"Compact"), s.compact ? 1 : 0) << s.change;
  }

  testing::CallLog writes;
  fake.settings.log = &writes;
  fake.window.top = 1000;  // wholly on the screen again
  panel.DisplayChanged();
  panel.Click(Ctl::Comm1);
  EXPECT_TRUE(writes.entries().empty()) << "a display change that leaves it alone and a key store nothing";
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

TEST_F(SettingsTest, SwitchingRememberingOffForgetsThePlace) {
  Start(panel);
  panel.MenuChosen(MenuItem::RememberPlace);
  panel.MenuChosen(MenuItem::RememberPlace);
  EXPECT_EQ(Number(fake.settings, u"RememberPlace"), 0);
  for (auto name : {u"Left", u"Top", u"Compact"}) {
    EXPECT_EQ(fake.settings.Panel(name).kind, StoredValue::Kind::Missing) << Utf8(name);
  }
  fake.window.left = 100;
  panel.MoveEnded();
  EXPECT_EQ(fake.settings.Panel(u"Left").kind, StoredValue::Kind::Missing);
}

// What one run chooses, the next start finds.
TEST(NextStart, FindsWhatTheRunBeforeChose) {
  const struct {
    const char* what;
    std::function<void(FakePlatform&, Form1&)> choose;
    std::function<void(FakePlatform&, Form1&)> expect;
  } cases[] = {
      {"the place and mode",
       [](FakePlatform& f, Form1& p) {
         p.MenuChosen(MenuItem::RememberPlace);
         p.Click(Ctl::Command2);
         f.window.left = 600, f.window.top = 700;
         p.MoveEnded();
       },
       [](FakePlatform& f, Form1&) {
         EXPECT_EQ(f.window.left, 600);
         EXPECT_EQ(f.window.top, 700);
         EXPECT_EQ(f.controls.Of(Ctl::Command2).caption, kCompactCaption);
       }},
      {"a key size of 200%", [](FakePlatform&, Form1& p) { p.MenuChosen(MenuItem::KeySize200); },
       [](FakePlatform& f, Form1&) { EXPECT_EQ(f.window.keySize, 200); }},
      {"the remote-desktop mode", [](FakePlatform&, Form1& p) { p.MenuChosen(MenuItem::RemoteDesktop); },
       [](FakePlatform& f, Form1& p) {
         p.Click(Ctl::Command10);  // Page Up
         ASSERT_EQ(f.keys.Delivered().size(), 2u);
         EXPECT_EQ(f.keys.Delivered()[0], (KeyEvent{33, KeyDirection::Down, 0x49, true}));
       }},
      {"starting at sign-in", [](FakePlatform&, Form1& p) { p.MenuChosen(MenuItem::StartAtSignIn); },
       [](FakePlatform& f, Form1& p) {
         p.MenuOpening();
         EXPECT_TRUE(f.window.menuChecks[MenuItem::StartAtSignIn]);
       }},
  };
  for (const auto& c : cases) {
    FakeSettingsStore kept;
    {
      FakePlatform first;
      first.window.twipsPerPixel = 0;
      Form1 panel(first.View());
      Start(panel);
      c.choose(first, panel);
      panel.Unload();
      kept.values = first.settings.values;
    }
    FakePlatform next;
    next.window.twipsPerPixel = 0;
    next.settings.values = kept.values;
    next.layouts.scanCodes = {{33, 0xE049}};
    Form1 panel(next.View());
    Start(panel);
    c.expect(next, panel);
    EXPECT_TRUE(next.window.fatalErrors.empty()) << c.what;
  }
}

TEST_F(SettingsTest, TheMenusCheckMarksFollowTheSettingsAndTheSignInValue) {
  Start(panel);
  panel.MenuOpening();
  const std::map<MenuItem, bool> defaults{
      {MenuItem::RememberPlace, false}, {MenuItem::KeySize100, true},    {MenuItem::KeySize125, false},
      {MenuItem::KeySize150, false},    {MenuItem::KeySize200, false},   {MenuItem::StartAtSignIn, false},
      {MenuItem::RemoteDesktop, false}, {MenuItem::Hotkey, false},       {MenuItem::TrayIcon, false},
      {MenuItem::IdleOpacity100, true}, {MenuItem::IdleOpacity80, false}, {MenuItem::IdleOpacity60, false},
      {MenuItem::IdleOpacity40, false},
      {MenuItem::DwellOff, true},       {MenuItem::Dwell800, false},     {MenuItem::Dwell1200, false},
      {MenuItem::Dwell2000, false},     {MenuItem::HoldRepeat, false},
  };
  EXPECT_EQ(fake.window.menuChecks, defaults) << "About has no mark";

  panel.MenuChosen(MenuItem::RememberPlace);
  panel.MenuChosen(MenuItem::KeySize125);
  panel.MenuChosen(MenuItem::RemoteDesktop);
  panel.MenuChosen(MenuItem::Dwell1200);
  panel.MenuChosen(MenuItem::HoldRepeat);
  fake.settings.values[{SettingsKey::SignIn, kSignIn}] = StoredValue::Text(u"\"" + fake.shell.executable + u"\"");
  panel.MenuOpening();
  auto chosen = defaults;
  chosen[MenuItem::RememberPlace] = chosen[MenuItem::KeySize125] = chosen[MenuItem::RemoteDesktop] = true;
  chosen[MenuItem::StartAtSignIn] = true;
  chosen[MenuItem::Dwell1200] = chosen[MenuItem::HoldRepeat] = true;
  chosen[MenuItem::KeySize100] = chosen[MenuItem::DwellOff] = false;
  EXPECT_EQ(fake.window.menuChecks, chosen);

  // Another copy of the program, installed elsewhere, starts at sign-in instead.
  fake.settings.values[{SettingsKey::SignIn, kSignIn}] = StoredValue::Text(u"\"D:\\雁格输入法\\ygpanel.exe\"");
  panel.MenuOpening();
  EXPECT_FALSE(fake.window.menuChecks[MenuItem::StartAtSignIn]);
}

// At 96 DPI the expanded panel is 488 pixels wide at 125%, 586 at 150%, 781 at 200%.
TEST_F(SettingsTest, AKeySizeTooLargeForTheWorkAreaIsGreyedButNotTheOneInUse) {
  Start(panel);
  panel.MenuChosen(MenuItem::KeySize150);
  fake.displays.workAreas = std::vector<ScreenRect>{{0, 0, 500 * 15, 700 * 15}};
  fake.displays.workAreasScale = 96;
  panel.MenuOpening();
  using enum MenuItem;
  EXPECT_EQ(fake.window.menuEnabled,
            (std::map<MenuItem, bool>{{KeySize100, true}, {KeySize125, true}, {KeySize150, true}, {KeySize200, false}}))
      << "150% is the size in use, though no longer fitting";
}

TEST_F(SettingsTest, StartAtSignInWritesThisProgramsQuotedPathAndRemovesIt) {
  Start(panel);
  const std::u16string quoted = u"\"" + fake.shell.executable + u"\"";
  const std::u16string other = u"\"D:\\雁格输入法\\ygpanel.exe\"";
  const struct {
    const char* before;
    std::optional<std::u16string> stored;
    std::optional<std::u16string> after;
  } cases[] = {
      {"nothing starts", std::nullopt, quoted},
      {"this program starts", quoted, std::nullopt},
      {"this program starts, unquoted", fake.shell.executable, std::nullopt},
      {"another copy starts", other, quoted},
  };
  for (const auto& c : cases) {
    fake.settings.values.erase({SettingsKey::SignIn, kSignIn});
    if (c.stored) fake.settings.values[{SettingsKey::SignIn, kSignIn}] = StoredValue::Text(*c.stored);
    panel.MenuChosen(MenuItem::StartAtSignIn);
    const StoredValue now = fake.settings.Read(SettingsKey::SignIn, kSignIn);
    EXPECT_EQ(now, c.after ? StoredValue::Text(*c.after) : StoredValue{}) << c.before;
  }
}

// Task Manager and Settings record a sign-in value the user turned off beside it; the mark
// shows what the system will do, and choosing the item turns it on, that record and all.
TEST_F(SettingsTest, ASignInValueTurnedOffInTaskManagerHasNoMarkUntilChosenAgain) {
  Start(panel);
  const StoredValue quoted = StoredValue::Text(u"\"" + fake.shell.executable + u"\"");
  const struct {
    const char* record;
    std::optional<StoredValue> stored;
    bool marked;
  } cases[] = {
      {"none", std::nullopt, true},
      {"on", StoredValue::Bytes({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), true},
      {"off, and when", StoredValue::Bytes({3, 0, 0, 0, 0x17, 0x79, 0xBD, 0x01, 0x17, 0xD9, 0xD1, 0x01}), false},
      {"off, as some programs' records read", StoredValue::Bytes({7, 0, 0, 0, 0x71, 0xC9, 0x33, 0xAE}), false},
      {"empty", StoredValue::Bytes({}), true},
  };
  for (const auto& c : cases) {
    fake.settings.values[{SettingsKey::SignIn, kSignIn}] = quoted;
    fake.settings.values.erase({SettingsKey::SignInApproval, kSignIn});
    if (c.stored) fake.settings.values[{SettingsKey::SignInApproval, kSignIn}] = *c.stored;
    panel.MenuOpening();
    EXPECT_EQ(fake.window.menuChecks[MenuItem::StartAtSignIn], c.marked) << c.record;
    panel.MenuChosen(MenuItem::StartAtSignIn);
    EXPECT_EQ(fake.settings.Read(SettingsKey::SignIn, kSignIn), c.marked ? StoredValue{} : quoted) << c.record;
    EXPECT_EQ(fake.settings.Read(SettingsKey::SignInApproval, kSignIn), StoredValue{}) << c.record;
  }
}

// Earlier versions wrote the value as 雁格输入法键盘: it still shows the mark, and choosing the item
// leaves only the current name, on or off.
TEST_F(SettingsTest, ASignInValueUnderTheEarlierNameIsRecognisedAndReplaced) {
  Start(panel);
  const StoredValue quoted = StoredValue::Text(u"\"" + fake.shell.executable + u"\"");
  const StoredValue turnedOff = StoredValue::Bytes({3, 0, 0, 0});
  const std::u16string oldName = u"雁格输入法键盘", newName = u"雁格输入法按键面板";
  const struct {
    const char* what;
    std::optional<StoredValue> oldRecord;
    bool marked;
  } cases[] = {{"on", std::nullopt, true}, {"turned off in Task Manager", turnedOff, false}};
  for (const auto& c : cases) {
    fake.settings.values.clear();
    fake.settings.values[{SettingsKey::SignIn, oldName}] = quoted;
    if (c.oldRecord) fake.settings.values[{SettingsKey::SignInApproval, oldName}] = *c.oldRecord;
    panel.MenuOpening();
    EXPECT_EQ(fake.window.menuChecks[MenuItem::StartAtSignIn], c.marked) << c.what;
    panel.MenuChosen(MenuItem::StartAtSignIn);
    EXPECT_EQ(fake.settings.Read(SettingsKey::SignIn, newName), c.marked ? StoredValue{} : quoted) << c.what;
    for (auto key : {SettingsKey::SignIn, SettingsKey::SignInApproval}) {
      EXPECT_EQ(fake.settings.Read(key, oldName), StoredValue{}) << c.what;
    }
  }
}

TEST_F(SettingsTest, AGrowingPanelStaysInsideTheWorkArea) {
  Start(panel);  // centred, 450 twips above the bottom
  for (MenuItem size : {MenuItem::KeySize125, MenuItem::KeySize150, MenuItem::KeySize200}) {
    panel.MenuChosen(size);
    const ScreenRect bounds = fake.displays.PanelBounds();
    EXPECT_TRUE(WhollyInside(bounds, fake.displays.WorkAreas()))
        << "at " << fake.window.keySize << "%: " << bounds.left << "," << bounds.top << " " << bounds.right << ","
        << bounds.bottom;
  }
  EXPECT_EQ(Number(fake.settings, u"KeySize"), 200);
  testing::CallLog calls;
  fake.settings.log = &calls;
  panel.MenuChosen(MenuItem::KeySize200);
  EXPECT_TRUE(calls.entries().empty()) << "the size it has already changes nothing";
}

TEST_F(SettingsTest, AStoreThatFailsLeavesEverySettingInEffectForThisRunWithoutAnErrorBox) {
  Start(panel);
  fake.settings.failWrites = true;
  fake.layouts.scanCodes = {{34, 0x51}};
  for (MenuItem item : {MenuItem::RememberPlace, MenuItem::KeySize150, MenuItem::RemoteDesktop,
                        MenuItem::StartAtSignIn}) {
    panel.MenuChosen(item);
  }
  EXPECT_TRUE(fake.settings.values.empty());
  EXPECT_EQ(fake.window.keySize, 150);
  panel.Click(Ctl::Command11);  // Page Down
  ASSERT_FALSE(fake.keys.Delivered().empty());
  EXPECT_EQ(fake.keys.Delivered()[0], (KeyEvent{34, KeyDirection::Down, 0x51, true}));
  panel.MenuOpening();
  EXPECT_TRUE(fake.window.menuChecks[MenuItem::RememberPlace]);
  EXPECT_FALSE(fake.window.menuChecks[MenuItem::StartAtSignIn]) << "the system will not start it: no check";
  panel.Unload();
  EXPECT_TRUE(fake.window.messages.empty());
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

TEST_F(SettingsTest, RemoteModeSwitchedOffSendsScanCodeZeroAgain) {
  Start(panel);
  fake.layouts.scanCodes = {{8, 0x0E}};
  panel.MenuChosen(MenuItem::RemoteDesktop);
  panel.MenuChosen(MenuItem::RemoteDesktop);
  panel.Click(Ctl::Command9);  // Backspace
  EXPECT_EQ(fake.keys.Delivered(), (std::vector<KeyEvent>{Down(8), Up(8)}));
  EXPECT_EQ(Number(fake.settings, u"RemoteDesktop"), 0);
}

TEST_F(SettingsTest, AboutShowsTheProgramsNameVersionAndCopyright) {
  Start(panel);
  panel.MenuChosen(MenuItem::About);
  ASSERT_EQ(fake.window.messages.size(), 1u);
  EXPECT_EQ(Utf8(fake.window.messages[0]), "雁格输入法按键面板\n版本 1.2.3\n© 雁格");
  EXPECT_TRUE(fake.settings.values.empty());
}

}  // namespace
}  // namespace yg
