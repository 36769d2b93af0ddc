#pragma once

// What each control must type when clicked once, as tests/data/expected_clicks.txt writes it down
// by hand: `<control> <kind> <keys>`. Read by the unit tests and by the programs that click the
// real panel.

#include <istream>
#include <string>
#include <vector>

namespace yg::testing {

struct ExpectedClick {
  std::string control;  // "Comm1", "skb(49)"
  std::string kind;     // code, keys or stroke
  std::vector<std::string> tokens;
};

// One key event: a key going down or up.
struct ExpectedKey {
  int vk;
  bool up;
  friend bool operator==(const ExpectedKey&, const ExpectedKey&) = default;
};

// The lines of the file; comments and blank lines left out.
std::vector<ExpectedClick> ReadExpectedClicks(std::istream& in);

// The key events of the notation: code letters g..l tap the keys G..L, a number taps that key,
// S<n> taps it with the left Shift (160) held and C<n> with Ctrl (17).
std::vector<ExpectedKey> ExpandKeys(const std::vector<std::string>& tokens);

// The code letters of the notation, in order ("ilhihk" for 虫).
std::string CodeLetters(const std::vector<std::string>& tokens);

}  // namespace yg::testing
