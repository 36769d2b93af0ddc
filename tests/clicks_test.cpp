// Every clickable control of the key pads, clicked once on a fresh panel, against the keys it
// must type. The expectations are written out by hand in tests/data/expected_clicks.txt (the
// end-to-end run checks the real program against the same file), not taken from the panel's
// tables.

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "panel/form1.h"
#include "panel/layout.h"
#include "tests/expected_clicks.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::Describe;
using testing::ExpandKeys;
using testing::ExpectedClick;
using testing::ReadExpectedClicks;
using testing::CodeLetters;
using testing::FakePlatform;

std::vector<ExpectedClick> ReadCases() {
  std::ifstream in(YG_TEST_DATA_DIR "/expected_clicks.txt");
  return ReadExpectedClicks(in);
}

ControlId ControlNamed(const std::string& name) {
  for (const LayoutRow& row : LayoutTable()) {
    if (ControlName(row.control) == name) return row.control;
  }
  ADD_FAILURE() << "no control " << name;
  return {};
}

TEST(Clicks, EveryKeyPadControlTypesExactlyItsKeysInOneBatch) {
  const auto cases = ReadCases();
  std::set<std::string> seen;
  for (const ExpectedClick& c : cases) {
    seen.insert(c.control);
    const ControlId control = ControlNamed(c.control);
    const std::string keys = Describe(ExpandKeys(c.tokens));
    const std::string code = CodeLetters(c.tokens);
    FakePlatform fake;
    Form1 panel(fake.View());
    if (c.kind == "stroke") {
      panel.MouseDown(control, {});
      panel.MouseUp(control, {});
    } else {
      panel.Click(control);
    }
    EXPECT_EQ(Describe(fake.keys.Delivered()), keys) << c.control;
    EXPECT_EQ(fake.keys.Batches().size(), 1u) << c.control;
    EXPECT_TRUE(fake.keys.HeldKeys().empty()) << c.control;
    if (c.kind == "code") {
      EXPECT_EQ(testing::Utf8(panel.PendingCode()), code) << c.control;
    }
    EXPECT_TRUE(fake.window.fatalErrors.empty()) << c.control;
  }
  EXPECT_EQ(cases.size(), 81u);
  EXPECT_EQ(seen.size(), 81u);
}

TEST(Clicks, ControlsWithoutAKeyTypeNothing) {
  for (ControlId c : {ControlId(Ctl::Frame1), ControlId(Ctl::Combo1), ControlId(Ctl::Image1),
                      ControlId(Ctl::Image2)}) {
    FakePlatform fake;
    Form1 panel(fake.View());
    panel.Click(c);
    panel.MouseDown(c, {});
    panel.MouseUp(c, {});
    EXPECT_TRUE(fake.keys.Batches().empty()) << ControlName(c);
  }
}

}  // namespace
}  // namespace yg
