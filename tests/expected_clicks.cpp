#include "tests/expected_clicks.h"

#include <cctype>
#include <sstream>
#include <stdexcept>

namespace yg::testing {

namespace {

constexpr std::uint8_t kLeftShift = 160;
constexpr std::uint8_t kControl = 17;
constexpr int kFirstLetterKey = 'G';

void Tap(std::vector<KeyEvent>& keys, int vk) {
  keys.push_back(Down(static_cast<std::uint8_t>(vk)));
  keys.push_back(Up(static_cast<std::uint8_t>(vk)));
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

std::vector<KeyEvent> ExpandKeys(const std::vector<std::string>& tokens) {
  std::vector<KeyEvent> keys;
  for (const std::string& token : tokens) {
    if (token.size() > 1 && (token[0] == 'S' || token[0] == 'C')) {
      const std::uint8_t modifier = token[0] == 'S' ? kLeftShift : kControl;
      keys.push_back(Down(modifier));
      Tap(keys, std::stoi(token.substr(1)));
      keys.push_back(Up(modifier));
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

std::string Describe(std::span<const KeyEvent> events) {
  std::string text;
  for (const KeyEvent& e : events) {
    if (!text.empty()) text += ' ';
    text += (e.direction == KeyDirection::Down ? 'd' : 'u') + std::to_string(e.vk);
  }
  return text;
}

}  // namespace yg::testing
