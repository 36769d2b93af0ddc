// The notation of expected_clicks.txt, read as the programs that click the real panel read it.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/expected_clicks.h"

namespace yg::testing {
namespace {

TEST(ExpectedClicks, EachTokenExpandsToItsKeyEvents) {
  const struct {
    std::vector<std::string> tokens;
    const char* events;
  } cases[] = {
      {{"g", "l"}, "d71 u71 d76 u76"},                           // code letters g..l: G..L
      {{"ilh"}, "d73 u73 d76 u76 d72 u72"},                     // a run of letters, in order
      {{"27", "49"}, "d27 u27 d49 u49"},                        // numbers: that key
      {{"S57"}, "d160 d57 u57 u160"},                           // with the left Shift held
      {{"C192"}, "d17 d192 u192 u17"},                          // with Ctrl held
      {{"27", "jilh", "49"}, "d27 u27 d74 u74 d73 u73 d76 u76 d72 u72 d49 u49"},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(ExpandKeys(c.tokens)), c.events) << c.tokens[0];
}

TEST(ExpectedClicks, ALetterOutsideTheStrokeCodeIsRefused) {
  EXPECT_THROW(ExpandKeys({"ilm"}), std::invalid_argument);
  EXPECT_THROW(ExpandKeys({"a"}), std::invalid_argument);
}

TEST(ExpectedClicks, CommentsAndBlankLinesAreSkippedAndCodeLettersCollected) {
  std::istringstream file(
      "# a comment line\n"
      "\n"
      "Comm1      code   ilhihk           # 虫\n"
      "Command12  code   27 jilhhjlk 49   # 的\n"
      "skb(189)   keys   189\n");
  const auto clicks = ReadExpectedClicks(file);
  ASSERT_EQ(clicks.size(), 3u);
  EXPECT_EQ(clicks[1].control, "Command12");
  EXPECT_EQ(clicks[1].kind, "code");
  EXPECT_EQ(CodeLetters(clicks[1].tokens), "jilhhjlk");
  EXPECT_EQ(clicks[2].control, "skb(189)");
  EXPECT_EQ(CodeLetters(clicks[2].tokens), "");
}

}  // namespace
}  // namespace yg::testing
