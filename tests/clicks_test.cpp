// Every clickable control of the key pads, clicked once on a fresh panel, against the keys it
// must type. The expectations are written out here by hand, not taken from the panel's tables.

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "panel/form1.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::Describe;
using testing::FakePlatform;

// Notation: a run of code letters g..l taps those letter keys (G=71 ... L=76); a number taps
// that key; "S<n>" taps it with left Shift held; "C<n>" taps it with Ctrl held.
std::string Expand(const std::string& notation) {
  static const std::string kLetters = "ghijkl";
  std::vector<std::string> events;
  auto tap = [&](int vk) {
    events.push_back("d" + std::to_string(vk));
    events.push_back("u" + std::to_string(vk));
  };
  std::istringstream in(notation);
  for (std::string token; in >> token;) {
    if (token[0] == 'S' || token[0] == 'C') {
      const std::string mod = token[0] == 'S' ? "160" : "17";
      events.push_back("d" + mod);
      tap(std::stoi(token.substr(1)));
      events.push_back("u" + mod);
    } else if (std::isdigit(static_cast<unsigned char>(token[0]))) {
      tap(std::stoi(token));
    } else {
      for (char c : token) tap(71 + static_cast<int>(kLetters.find(c)));
    }
  }
  std::string text;
  for (const auto& e : events) text += (text.empty() ? "" : " ") + e;
  return text;
}

enum class How { Click, Stroke };

struct ClickCase {
  ControlId control;
  const char* keys;
  const char* code = nullptr;  // what pendingCode holds after the click, for code buttons
  How how = How::Click;
};

const ClickCase kCases[] = {
    // Radical keys: the radical's stroke code alone.
    {Ctl::Comm1, "ilhihk", "ilhihk"},           {Ctl::Comm2, "jlilhihh", "jlilhihh"},
    {Ctl::Comm3, "llh", "llh"},                 {Ctl::Comm4, "ihljhl", "ihljhl"},
    {Ctl::Comm5, "jlklh", "jlklh"},             {Ctl::Comm6, "jljlhhi", "jljlhhi"},
    {Ctl::Comm7, "hiihilhhi", "hiihilhhi"},     {Ctl::Comm8, "ljh", "ljh"},
    {Ctl::Comm9, "jilhhhj", "jilhhhj"},         {Ctl::Comm10, "ihihjkli", "ihihjkli"},
    {Ctl::Comm11, "jlhh", "jlhh"},              {Ctl::Comm12, "jhhl", "jhhl"},
    {Ctl::Comm13, "ilhihih", "ilhihih"},        {Ctl::Comm14, "hihihjk", "hihihjk"},
    {Ctl::Comm15, "jjlkhk", "jjlkhk"},          {Ctl::Comm16, "hlih", "hlih"},
    {Ctl::Comm17, "kki", "kki"},                {Ctl::Comm18, "khjkh", "khjkh"},
    {Ctl::Comm19, "kkl", "kkl"},                {Ctl::Comm20, "khlj", "khlj"},
    {Ctl::Comm21, "klijk", "klijk"},            {Ctl::Comm22, "jhhhl", "jhhhl"},
    {Ctl::Comm23, "kjjk", "kjjk"},              {Ctl::Comm24, "llh", "llh"},
    {Ctl::Comm25, "hjilh", "hjilh"},            {Ctl::Comm26, "hii", "hii"},
    {Ctl::Comm27, "jhkjhk", "jhkjhk"},          {Ctl::Comm28, "hklikkkk", "hklikkkk"},
    {Ctl::Comm29, "kjilijkjhjk", "kjilijkjhjk"}, {Ctl::Comm30, "klik", "klik"},
    {Ctl::Command3, "lhl", "lhl"},              {Ctl::Command4, "ilh", "ilh"},
    {Ctl::Command66, "jlj", "jlj"},             {Ctl::Command69, "jihlhhlkklkk", "jihlhhlkklkk"},
    {Ctl::Command71, "ilkjhihhkkkk", "ilkjhihhkkkk"}, {Ctl::Command72, "khjliihhljl", "khjliihhljl"},
    {Ctl::Command73, "illklilhh", "illklilhh"}, {Ctl::Command74, "jilhhhilhihh", "jilhhhilhihh"},
    {Ctl::Command75, "hiljlhh", "hiljlhh"},     {Ctl::Command76, "hihhhlkjjj", "hihhhlkjjj"},
    {Ctl::Command77, "jkkjljj", "jkkjljj"},     {Ctl::Command78, "jilhhjllk", "jilhhjllk"},
    {Ctl::Command79, "hiihhh", "hiihhh"},
    // Stroke pad: pressed and released on the key.
    {Ctl::Image3, "h", nullptr, How::Stroke},   {Ctl::Image6, "i", nullptr, How::Stroke},
    {Ctl::Image9, "j", nullptr, How::Stroke},   {Ctl::Image12, "k", nullptr, How::Stroke},
    {Ctl::Image15, "l", nullptr, How::Stroke},
    // Common characters: Escape, the code, 1.
    {Ctl::Command12, "27 jilhhjlk 49", "jilhhjlk"}, {Ctl::Command13, "27 hjik 49", "hjik"},
    {Ctl::Command14, "27 ilhhhihjk 49", "ilhhhihjk"}, {Ctl::Command15, "27 hjihih 49", "hjihih"},
    // Punctuation and phrases.
    {Ctl::Command16, "S57"},  {Ctl::Command18, "S48"},  {Ctl::Command19, "220"},
    {Ctl::Command29, "190"},  {Ctl::Command32, "S191"}, {Ctl::Command33, "S49"},
    {Ctl::Command35, "188"},  {Ctl::Command43, "S186"}, {Ctl::Command44, "S222"},
    {Ctl::Command45, "222"},  {Ctl::Command46, "186"},  {Ctl::Command17, "27 79"},
    {Ctl::Command23, "27 79 79"},
    // Editing keys.
    {Ctl::Command1, "27"}, {Ctl::Command9, "8"}, {Ctl::Command10, "33"}, {Ctl::Command11, "34"},
    // Candidate keys.
    {Skb(48), "48"}, {Skb(49), "49"}, {Skb(50), "50"}, {Skb(51), "51"}, {Skb(52), "52"}, {Skb(53), "53"},
    {Skb(54), "54"}, {Skb(55), "55"}, {Skb(56), "56"}, {Skb(57), "57"}, {Skb(189), "189"},
    // Word building: Ctrl with the grave-accent key.
    {Ctl::Command5, "C192"},
};

TEST(Clicks, EveryKeyPadControlTypesExactlyItsKeysInOneBatch) {
  std::set<std::string> seen;
  for (const ClickCase& c : kCases) {
    const std::string name = ControlName(c.control);
    seen.insert(name);
    FakePlatform fake;
    Form1 panel(fake.View());
    if (c.how == How::Stroke) {
      panel.MouseDown(c.control, {});
      panel.MouseUp(c.control, {});
    } else {
      panel.Click(c.control);
    }
    EXPECT_EQ(Describe(fake.keys.Delivered()), Expand(c.keys)) << name;
    EXPECT_EQ(fake.keys.Batches().size(), 1u) << name;
    EXPECT_TRUE(fake.keys.HeldKeys().empty()) << name;
    if (c.code) {
      EXPECT_EQ(testing::Utf8(panel.PendingCode()), c.code) << name;
    }
    EXPECT_TRUE(fake.window.fatalErrors.empty()) << name;
  }
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
