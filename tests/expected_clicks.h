#pragma once

// What each control must type when clicked once, as tests/data/expected_clicks.txt writes it down
// by hand: `<control> <kind> <keys>`. Read by the unit tests and by the programs that click the
// real panel; the end-to-end run gets it from yg_layout_dump, in the events' text form.

#include <istream>
#include <span>
#include <string>
#include <vector>

#include "keys/key_event.h"

namespace yg::testing {

struct ExpectedClick {
  std::string control;  // "Comm1", "skb(49)"
  std::string kind;     // code, keys or stroke
  std::vector<std::string> tokens;
};

// The lines of the file; comments and blank lines left out.
std::vector<ExpectedClick> ReadExpectedClicks(std::istream& in);

// The key events of the notation: code letters g..l tap the keys G..L, a number taps that key,
// S<n> taps it with the left Shift (160) held and C<n> with Ctrl (17).
std::vector<KeyEvent> ExpandKeys(const std::vector<std::string>& tokens);

// The code letters of the notation, in order ("ilhihk" for 虫).
std::string CodeLetters(const std::vector<std::string>& tokens);

// Key events as text, for failures and for the end-to-end run: "d73 u73 d76 u76".
std::string Describe(std::span<const KeyEvent> events);

}  // namespace yg::testing
