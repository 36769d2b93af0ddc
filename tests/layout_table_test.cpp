#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "pads/editing_keys.h"
#include "pads/radical_keys.h"
#include "pads/stroke_pad.h"
#include "pads/word_keys.h"
#include "panel/layout.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

bool Overlap(const LayoutRow& a, const LayoutRow& b) {
  return a.container == b.container && a.left < b.left + b.width && b.left < a.left + a.width &&
         a.top < b.top + b.height && b.top < a.top + a.height;
}

bool IsPictureStore(const LayoutRow& row) {
  return row.kind == ControlKind::Picture &&
         std::none_of(kStrokeKeys.begin(), kStrokeKeys.end(), [&](const StrokeKey& k) { return k.control == row.control; });
}

TEST(LayoutTable, OnlyTheStatedNeighboursOverlapAndTheRightOneLiesOnTop) {
  // (on top, beneath)
  const std::set<std::pair<std::string, std::string>> expected{
      {"Command76", "Comm9"},   {"Command76", "Comm5"},   {"Command76", "Comm3"},  {"Command75", "Comm7"},
      {"Comm30", "Comm21"},     {"Image3", "Image6"},     {"Image9", "Image6"},    {"Image12", "Image9"},
      {"Image15", "Image12"},   {"skb(57)", "skb(48)"},   {"skb(53)", "Command2"}, {"Command9", "Command1"},
      {"Command46", "Command32"}, {"Command16", "Command29"}, {"Command18", "Command17"},
      // 鹿 and 骨 lie over Frame1; Frame6 covers Combo1 completely.
      {"Command72", "Frame1"},  {"Command73", "Frame1"},  {"Frame6", "Combo1"},
  };
  std::set<std::pair<std::string, std::string>> found;
  const auto rows = LayoutTable();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = i + 1; j < rows.size(); ++j) {
      const LayoutRow &a = rows[i], &b = rows[j];
      if (!Overlap(a, b) || IsPictureStore(a) || IsPictureStore(b)) continue;
      ASSERT_NE(a.layer, b.layer) << ControlName(a.control) << " and " << ControlName(b.control);
      const auto& top = a.layer > b.layer ? a : b;
      const auto& beneath = a.layer > b.layer ? b : a;
      found.insert({ControlName(top.control), ControlName(beneath.control)});
    }
  }
  EXPECT_EQ(found, expected);
}

TEST(LayoutTable, PictureStoresLieExactlyBeneathTheirKey) {
  for (const StrokeKey& key : kStrokeKeys) {
    const LayoutRow& shown = LayoutRowOf(key.control);
    for (ControlId store : {key.normalHolder, key.pressedHolder}) {
      const LayoutRow& s = LayoutRowOf(store);
      EXPECT_EQ(std::make_pair(s.left, s.top), std::make_pair(shown.left, shown.top)) << ControlName(store);
      EXPECT_EQ(s.width, 375) << ControlName(store);
      EXPECT_EQ(s.height, 555) << ControlName(store);
      EXPECT_LT(s.layer, shown.layer) << ControlName(store);
    }
    EXPECT_EQ(shown.picture, LayoutRowOf(key.normalHolder).picture) << ControlName(key.control);
  }
}

TEST(LayoutTable, TabOrderRunsFrom0To81WithoutGapsAndSkipsPictures) {
  std::vector<int> indexes;
  for (const LayoutRow& row : LayoutTable()) {
    if (row.kind == ControlKind::Picture) {
      EXPECT_EQ(row.tabIndex, -1) << ControlName(row.control);
    } else {
      indexes.push_back(row.tabIndex);
    }
  }
  std::sort(indexes.begin(), indexes.end());
  std::vector<int> expected(82);
  for (int i = 0; i < 82; ++i) expected[i] = i;
  EXPECT_EQ(indexes, expected);
}

TEST(LayoutTable, TabMovesThroughShownControlsInTabIndexOrder) {
  testing::CallLog log;
  testing::FakeControls controls(log);
  auto shown = [&](ControlId c) { return controls.Shown(c); };
  const struct {
    ControlId from;
    bool forward;
    ControlId to;
  } expanded[] = {
      {Ctl::Comm28, true, Ctl::Comm21},
      {Ctl::Comm29, true, Ctl::Comm28},   // round from the last to the first, past Frame1
      {Ctl::Comm28, false, Ctl::Comm29},
      {Ctl::Command2, true, Skb(49)},
      {Skb(189), true, Ctl::Command5},
      {Ctl::Comm1, true, Ctl::Command1},  // past Frame6
  };
  for (const auto& c : expanded) {
    EXPECT_EQ(NextTabStop(c.from, c.forward, shown), c.to) << ControlName(c.from);
  }
  // Compact: the radical keys and three punctuation keys are hidden and skipped.
  controls.SetVisible(Ctl::Frame1, false);
  controls.SetVisible(Ctl::Command29, false);
  EXPECT_EQ(NextTabStop(Ctl::Command11, true, shown), ControlId(Ctl::Command12));  // not Comm12
  EXPECT_EQ(NextTabStop(Ctl::Command15, true, shown), ControlId(Ctl::Command32));  // not 。
  EXPECT_EQ(NextTabStop(Ctl::Command5, true, shown), ControlId(Ctl::Command1));    // round, past the radicals
}

TEST(LayoutTable, EveryKeyPadControlIsOnThePanel) {
  std::vector<ControlId> controls;
  for (const auto& r : kRadicalKeys) controls.push_back(r.control);
  for (const auto& r : kCommonCharacterKeys) controls.push_back(r.control);
  for (const auto& r : kPunctuationKeys) controls.push_back(r.control);
  for (const auto& r : kEditingKeys) controls.push_back(r.control);
  for (auto i : kCandidateKeyIndexes) controls.push_back(Skb(i));
  for (const auto& k : kStrokeKeys) controls.push_back(k.control);
  for (ControlId c : controls) {
    const LayoutRow* row = FindLayoutRow(c);
    ASSERT_NE(row, nullptr) << ControlName(c);
    EXPECT_NE(row->kind, ControlKind::Frame) << ControlName(c);
  }
  // 鹿 and 骨 sit among the radicals but on the panel itself.
  EXPECT_EQ(LayoutRowOf(Ctl::Command72).container, Ctl::Form1);
  EXPECT_EQ(LayoutRowOf(Ctl::Command73).container, Ctl::Form1);
}

TEST(LayoutTable, PunctuationCaptionsKeepTheirWidths) {
  const struct {
    Ctl control;
    char16_t codePoint;
  } cases[] = {
      {Ctl::Command43, 0xFF1A}, {Ctl::Command44, 0x201D}, {Ctl::Command45, 0x2019}, {Ctl::Command46, 0xFF1B},
      {Ctl::Command32, 0x003F}, {Ctl::Command33, 0x0021}, {Ctl::Command19, 0x3001}, {Ctl::Command35, 0xFF0C},
      {Ctl::Command29, 0x3002}, {Ctl::Command16, 0x0028}, {Ctl::Command18, 0x0029},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LayoutRowOf(c.control).caption, std::u16string(1, c.codePoint)) << ControlName(c.control);
  }
  EXPECT_EQ(kPanelCaption.size(), 43u);
  EXPECT_EQ(LayoutRowOf(Skb(189)).caption, u"--");
}

}  // namespace
}  // namespace yg
