// Every clickable control of the key pads, clicked once on a fresh panel, against the keys it
// must type. The expectations are written out by hand in tests/data/expected_clicks.txt (the
// end-to-end run checks the real program against the same file), not taken from the panel's
// tables.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "panel/form1.h"
#include "panel/layout.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::Describe;
using testing::FakePlatform;

struct ClickCase {
  std::string control;
  std::string kind;  // code, keys or stroke
  std::vector<std::string> keys;
};

std::vector<ClickCase> ReadCases() {
  std::ifstream in(YG_TEST_DATA_DIR "/expected_clicks.txt");
  std::vector<ClickCase> cases;
  for (std::string line; std::getline(in, line);) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    ClickCase c;
    if (!(words >> c.control >> c.kind)) continue;
    for (std::string token; words >> token;) c.keys.push_back(token);
    cases.push_back(c);
  }
  return cases;
}

// The events of the notation, and the code letters in it.
std::pair<std::string, std::string> Expand(const std::vector<std::string>& tokens) {
  std::vector<std::string> events;
  std::string letters;
  auto tap = [&](int vk) {
    events.push_back("d" + std::to_string(vk));
    events.push_back("u" + std::to_string(vk));
  };
  for (const std::string& token : tokens) {
    if (token[0] == 'S' || token[0] == 'C') {
      const std::string mod = token[0] == 'S' ? "160" : "17";
      events.push_back("d" + mod);
      tap(std::stoi(token.substr(1)));
      events.push_back("u" + mod);
    } else if (std::isdigit(static_cast<unsigned char>(token[0]))) {
      tap(std::stoi(token));
    } else {
      for (char c : token) tap(71 + (c - 'g'));
      letters += token;
    }
  }
  std::string text;
  for (const auto& e : events) text += (text.empty() ? "" : " ") + e;
  return {text, letters};
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
  for (const ClickCase& c : cases) {
    seen.insert(c.control);
    const ControlId control = ControlNamed(c.control);
    const auto [keys, code] = Expand(c.keys);
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
