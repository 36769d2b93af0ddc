// What the stored settings mean: defaults, every kind of bad value, and the sign-in command.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel/settings.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::FakeSettingsStore;

StoredValue N(std::uint32_t n) { return StoredValue::Number(n); }
StoredValue N(std::int32_t n) { return StoredValue::Number(static_cast<std::uint32_t>(n)); }
StoredValue T(std::u16string_view t) { return StoredValue::Text(t); }
const StoredValue kOther{StoredValue::Kind::Other, 0, {}, {}};

struct Stored {
  std::u16string_view name;
  StoredValue value;
};

PanelSettings Read(const std::vector<Stored>& stored) {
  FakeSettingsStore store;
  for (const auto& s : stored) store.values[{SettingsKey::Panel, std::u16string(s.name)}] = s.value;
  return ReadSettings(store);
}

TEST(ReadSettings, NothingStoredMeansEveryDefault) {
  const PanelSettings s = Read({});
  EXPECT_FALSE(s.rememberPlace);
  EXPECT_FALSE(s.place);
  EXPECT_FALSE(s.compact);
  EXPECT_EQ(s.keySize, 100);
  EXPECT_FALSE(s.remoteDesktop);
  EXPECT_EQ(s.dwellMs, 0);
  EXPECT_FALSE(s.holdRepeat);
}

TEST(ReadSettings, AFlagIsOnOnlyForTheNumberOne) {
  const struct {
    const char* what;
    std::optional<StoredValue> value;
    bool on;
  } cases[] = {
      {"1", N(1u), true},
      {"0", N(0u), false},
      {"missing", std::nullopt, false},
      {"2", N(2u), false},
      {"negative", N(-1), false},
      {"huge", N(0x80000000u), false},
      {"the text 1", T(u"1"), false},
      {"neither number nor text", kOther, false},
  };
  const struct {
    std::u16string_view name;
    bool PanelSettings::*flag;
  } flags[] = {{u"RemoteDesktop", &PanelSettings::remoteDesktop}, {u"RememberPlace", &PanelSettings::rememberPlace},
               {u"Hotkey", &PanelSettings::hotkey}, {u"TrayIcon", &PanelSettings::trayIcon},
               {u"HoldRepeat", &PanelSettings::holdRepeat}};
  for (const auto& c : cases) {
    for (const auto& f : flags) {
      std::vector<Stored> stored;
      if (c.value) stored.push_back({f.name, *c.value});
      EXPECT_EQ(Read(stored).*f.flag, c.on) << testing::Utf8(f.name) << " " << c.what;
    }
  }
}

TEST(ReadSettings, AKeySizeIsOneOfTheFourOrTheDefault) {
  const struct {
    const char* what;
    StoredValue value;
    int keySize;
  } cases[] = {
      {"125", N(125u), 125},     {"150", N(150u), 150},     {"200", N(200u), 200},
      {"100", N(100u), 100},     {"175: between two", N(175u), 100},
      {"0", N(0u), 100},         {"negative 150", N(-150), 100},
      {"huge", N(0xFFFFFFFFu), 100}, {"150 with the top bit set", N(150u + 0x80000000u), 100},
      {"the text 150", T(u"150"), 100}, {"neither number nor text", kOther, 100},
  };
  for (const auto& c : cases) EXPECT_EQ(Read({{u"KeySize", c.value}}).keySize, c.keySize) << c.what;
}

TEST(ReadSettings, AnIdleOpacityIsOneOfTheFourOrOpaque) {
  const struct {
    const char* what;
    StoredValue value;
    int opacity;
  } cases[] = {
      {"80", N(80u), 80}, {"40", N(40u), 40}, {"50: between two", N(50u), 100}, {"0: invisible", N(0u), 100},
      {"125: a key size", N(125u), 100}, {"the text 60", T(u"60"), 100},
  };
  for (const auto& c : cases) EXPECT_EQ(Read({{u"IdleOpacity", c.value}}).idleOpacity, c.opacity) << c.what;
}

TEST(ReadSettings, AHoverTimeIsOneOfTheMenusOrOff) {
  const struct {
    StoredValue value;
    int dwellMs;
  } cases[] = {
      {N(800u), 800}, {N(1200u), 1200}, {N(2000u), 2000}, {N(0u), 0},         {N(1000u), 0},
      {N(1u), 0},     {N(-800), 0},     {T(u"800"), 0},   {kOther, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Read({{u"DwellMs", c.value}}).dwellMs, c.dwellMs) << c.value.number;
}

TEST(ReadSettings, APlaceIsReadWholeAndOnlyWhileRemembered) {
  const StoredValue on = N(1u);
  const struct {
    const char* what;
    std::vector<Stored> stored;
    std::optional<SavedPlace> place;
    bool compact;
  } cases[] = {
      {"remembered", {{u"RememberPlace", on}, {u"Left", N(4763)}, {u"Top", N(9270)}, {u"Compact", N(1u)}},
       SavedPlace{4763, 9270}, true},
      {"left of and above the primary monitor", {{u"RememberPlace", on}, {u"Left", N(-30000)}, {u"Top", N(-600)}},
       SavedPlace{-30000, -600}, false},
      {"at the farthest place read", {{u"RememberPlace", on}, {u"Left", N(1000000)}, {u"Top", N(-1000000)}},
       SavedPlace{1000000, -1000000}, false},
      {"not remembered", {{u"Left", N(4763)}, {u"Top", N(9270)}, {u"Compact", N(1u)}}, std::nullopt, false},
      {"remembering switched off", {{u"RememberPlace", N(0u)}, {u"Left", N(1)}, {u"Top", N(2)}}, std::nullopt,
       false},
      {"no top", {{u"RememberPlace", on}, {u"Left", N(4763)}, {u"Compact", N(1u)}}, std::nullopt, true},
      {"a top of text", {{u"RememberPlace", on}, {u"Left", N(4763)}, {u"Top", T(u"9270")}}, std::nullopt, false},
      {"a left past the farthest place", {{u"RememberPlace", on}, {u"Left", N(1000001)}, {u"Top", N(0)}},
       std::nullopt, false},
      {"a huge top", {{u"RememberPlace", on}, {u"Left", N(0)}, {u"Top", N(0x7FFFFFFF)}}, std::nullopt, false},
      {"the most negative left", {{u"RememberPlace", on}, {u"Left", N(0x80000000u)}, {u"Top", N(0)}}, std::nullopt,
       false},
      {"compact of 2", {{u"RememberPlace", on}, {u"Left", N(0)}, {u"Top", N(0)}, {u"Compact", N(2u)}},
       SavedPlace{0, 0}, false},
      {"with the scale it was taken at", {{u"RememberPlace", on}, {u"Left", N(24955)}, {u"Top", N(3000)},
       {u"PlaceDpi", N(144u)}}, SavedPlace{24955, 3000, 144}, false},
      {"a scale past 960: unknown", {{u"RememberPlace", on}, {u"Left", N(1)}, {u"Top", N(2)}, {u"PlaceDpi", N(961u)}},
       SavedPlace{1, 2, 0}, false},
  };
  for (const auto& c : cases) {
    const PanelSettings s = Read(c.stored);
    EXPECT_EQ(s.place, c.place) << c.what;
    EXPECT_EQ(s.compact, c.compact) << c.what;
  }
}

TEST(SavePlace, KeepsWholeTwipsAndNegativePlacesAcrossARun) {
  FakeSettingsStore store;
  SaveFlag(store, setting::kRememberPlace, true);
  SavePlace(store, {-4762.5f, 9270.4f, 168}, true);
  const PanelSettings s = ReadSettings(store);
  EXPECT_EQ(s.place, (SavedPlace{-4763, 9270, 168}));
  EXPECT_TRUE(s.compact);
  ForgetPlace(store);
  EXPECT_EQ(store.values.size(), 1u) << "only RememberPlace is left";
  EXPECT_FALSE(ReadSettings(store).place);
}

TEST(StartsAtSignIn, OnlyAValueThatRunsThisVeryProgram) {
  const std::u16string exe = u"C:\\Users\\李\\AppData\\Local\\Programs\\雁格输入法\\ygpanel.exe";
  const struct {
    const char* what;
    StoredValue value;
    bool starts;
  } cases[] = {
      {"the quoted path", T(u"\"" + exe + u"\""), true},
      {"the path unquoted", T(exe), true},
      {"the path in other letter case", T(u"\"c:\\users\\李\\appdata\\local\\PROGRAMS\\雁格输入法\\YGPANEL.EXE\""), true},
      {"another copy of the program", T(u"\"D:\\雁格输入法\\ygpanel.exe\""), false},
      {"the path with an argument", T(u"\"" + exe + u"\" /min"), false},
      {"a longer file name", T(u"\"" + exe + u"2\""), false},
      {"a quote on one side", T(u"\"" + exe), false},
      {"only quotes", T(u"\"\""), false},
      {"an empty text", T(u""), false},
      {"no value", StoredValue{}, false},
      {"a number", N(1u), false},
      {"neither number nor text", kOther, false},
  };
  for (const auto& c : cases) EXPECT_EQ(StartsAtSignIn(c.value, exe), c.starts) << c.what;
  EXPECT_FALSE(StartsAtSignIn(T(u"\"\""), u"")) << "an unknown path names nothing";
}

TEST(SignInCommand, IsThePathInQuotesThatStartsAtSignInReads) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"C:\\Program Files\\雁格输入法\\ygpanel.exe", u"\"C:\\Program Files\\雁格输入法\\ygpanel.exe\""},
      {u"C:\\ygpanel.exe", u"\"C:\\ygpanel.exe\""},
  };
  for (const auto& [exe, command] : cases) {
    EXPECT_EQ(SignInCommand(exe), command);
    EXPECT_TRUE(StartsAtSignIn(StoredValue::Text(command), exe));
  }
}

}  // namespace
}  // namespace yg
