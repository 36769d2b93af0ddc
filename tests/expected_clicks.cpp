#include "tests/expected_clicks.h"

#include <cctype>
#include <sstream>
#include <stdexcept>

namespace yg::testing {

namespace {

constexpr int kLeftShift = 160;
constexpr int kControl = 17;
constexpr int kFirstLetterKey = 'G';

void Tap(std::vector<ExpectedKey>& keys, int vk) {
  keys.push_back({vk, false});
  keys.push_back({vk, true});
}

}  // namespace

std::vector<ExpectedClick> ReadExpectedClicks(std::istream& in) {
  std::vector<ExpectedClick> clicks;
  for (std::string line; std::getline(in, line);) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    ExpectedClick c;
    if (!(words >> c.control >> c.kind)) continue;
    for (std::string token; words >> token;) c.tokens.push_back(token);
    clicks.push_back(c);
  }
  return clicks;
}

std::vector<ExpectedKey> ExpandKeys(const std::vector<std::string>& tokens) {
  std::vector<ExpectedKey> keys;
  for (const std::string& token : tokens) {
    if (token.size() > 1 && (token[0] == 'S' || token[0] == 'C')) {
      const int modifier = token[0] == 'S' ? kLeftShift : kControl;
      keys.push_back({modifier, false});
      Tap(keys, std::stoi(token.substr(1)));
      keys.push_back({modifier, true});
    } else if (std::isdigit(static_cast<unsigned char>(token[0]))) {
      Tap(keys, std::stoi(token));
    } else {
      for (char c : token) {
        if (c < 'g' || c > 'l') throw std::invalid_argument("no code letter: " + token);
        Tap(keys, kFirstLetterKey + (c - 'g'));
      }
    }
  }
  return keys;
}

std::string CodeLetters(const std::vector<std::string>& tokens) {
  std::string letters;
  for (const std::string& token : tokens) {
    if (std::islower(static_cast<unsigned char>(token[0]))) letters += token;
  }
  return letters;
}

}  // namespace yg::testing
