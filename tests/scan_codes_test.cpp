// Remote-desktop mode: which scan code and extended flag each key event carries, for every key the
// panel sends, whether the system gives the E0 prefix of a code (Windows) or leaves it out (Wine).

#include <gtest/gtest.h>

#include <set>

#include "keys/key_injector.h"
#include "keys/key_sequence.h"
#include "keys/scan_codes.h"
#include "panel/form1.h"
#include "panel/layout.h"
#include "pads/stroke_pad.h"
#include "tests/fakes/fake_platform.h"
#include "tests/us_scan_codes.h"

namespace yg {
namespace {

using testing::FakeKeySink;
using testing::FakePlatform;
using testing::FindUsKey;
using testing::kUsKeys;

TEST(ScanCodeOf, TakesTheLayoutsCodeAndMarksE0Prefixed) {
  const struct {
    const char* key;
    std::uint8_t vk;
    std::uint32_t mapped;
    ScanCode expected;
  } cases[] = {
      {"Escape", 27, 0x01, {0x01, false}},
      {"Page Up, prefix given", 33, 0xE049, {0x49, true}},
      {"Page Up, prefix left out", 33, 0x49, {0x49, true}},
      {"keypad 9: the same code, no prefix", 105, 0x49, {0x49, false}},
      {"Delete, prefix left out", 46, 0x53, {0x53, true}},
      {"right Ctrl", 163, 0xE01D, {0x1D, true}},
      {"a key the layout lacks", 72, 0, {}},
      {"a key the layout lacks, navigation or not", 33, 0, {}},
      {"Pause: an E1 prefix cannot be sent", 19, 0xE11D, {}},
      {"a prefix no keyboard sends", 72, 0x7723, {}},
      {"more than a prefix and a code", 72, 0x1E023, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ScanCodeOf(c.vk, c.mapped), c.expected) << c.key;
}

// What MapVirtualKeyEx answers on a US layout, with or without the prefix.
std::map<std::uint8_t, std::uint32_t> UsLayout(bool withPrefix) {
  std::map<std::uint8_t, std::uint32_t> answers;
  for (const auto& k : kUsKeys) answers[k.vk] = k.code | (withPrefix && k.extended ? 0xE000u : 0u);
  return answers;
}

// Clicks every control of the layout once and presses and releases the shown stroke pictures.
void UseEveryKey(Form1& panel) {
  for (const LayoutRow& row : LayoutTable()) {
    if (row.kind == ControlKind::Button && row.control != ControlId(Ctl::Cmm2)) panel.Click(row.control);
  }
  for (const StrokeKey& key : kStrokeKeys) {
    panel.MouseDown(key.control, MouseArgs{});
    panel.MouseUp(key.control, MouseArgs{});
  }
}

TEST(RemoteDesktopMode, EveryKeyThePanelSendsCarriesItsUsScanCode) {
  for (const bool withPrefix : {true, false}) {
    FakePlatform fake;
    fake.settings.values[{SettingsKey::Panel, u"RemoteDesktop"}] = StoredValue::Number(1);
    fake.layouts.scanCodes = UsLayout(withPrefix);
    Form1 panel(fake.View());
    ASSERT_TRUE(panel.Initialize());
    UseEveryKey(panel);
    std::set<int> sent;
    for (const KeyEvent& e : fake.keys.Delivered()) {
      sent.insert(e.vk);
      const auto* us = FindUsKey(e.vk);
      ASSERT_TRUE(us) << "the panel sent " << int(e.vk) << ", which the table lacks";
      EXPECT_EQ(e.scan, us->code) << us->name << (withPrefix ? " (Windows)" : " (Wine)");
      EXPECT_EQ(e.extended, us->extended) << us->name << (withPrefix ? " (Windows)" : " (Wine)");
    }
    // Escape, Backspace, Page Up and Down, every digit, the code letters, O, Ctrl, left Shift and
    // the punctuation keys: the whole vocabulary but G, a code letter no code of the panel uses.
    EXPECT_EQ(sent.size(), std::size(kUsKeys) - 1);
    EXPECT_EQ(sent.count(71), 0u);
    EXPECT_TRUE(fake.window.fatalErrors.empty());
  }
}

TEST(RemoteDesktopMode, OffEveryEventCarriesScanCodeZeroAndNoExtendedFlag) {
  FakePlatform fake;
  fake.layouts.scanCodes = UsLayout(true);
  Form1 panel(fake.View());
  ASSERT_TRUE(panel.Initialize());
  UseEveryKey(panel);
  ASSERT_FALSE(fake.keys.Delivered().empty());
  for (const KeyEvent& e : fake.keys.Delivered()) {
    EXPECT_EQ(e.scan, 0) << int(e.vk);
    EXPECT_FALSE(e.extended) << int(e.vk);
  }
}

TEST(KeyInjector, ReleasesOfAPartlyTakenBatchCarryTheirScanCodesToo) {
  FakeKeySink sink;
  sink.TakeOnlyNext(2);  // left Shift and 9 down
  KeyInjector injector(sink);
  injector.UseScanCodes([](std::uint8_t vk) -> std::uint32_t { return vk == 160 ? 0x2A : 0x0A; });
  KeySequence keys;
  keys.TapShiftedKey(57);
  injector.Send(keys);
  ASSERT_EQ(sink.Batches().size(), 2u);
  const std::vector<KeyEvent> releases{WithScanCode(Up(57), {0x0A, false}), WithScanCode(Up(160), {0x2A, false})};
  EXPECT_EQ(sink.Batches()[1], releases);
  EXPECT_TRUE(sink.HeldKeys().empty());
}

}  // namespace
}  // namespace yg
