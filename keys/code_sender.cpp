#include "keys/code_sender.h"

#include <array>
#include <string>

#include "keys/key_event.h"
#include "base/errors.h"

namespace yg {

namespace {

struct CodeLetter {
  char16_t letter;
  std::int16_t vk;  // the upper-case letter's key, typed without Shift
};

constexpr std::array<CodeLetter, 6> kCodeLetters{{
    {u'g', 71},
    {u'h', 72},  // horizontal
    {u'i', 73},  // vertical
    {u'j', 74},  // left-falling
    {u'k', 75},  // dot
    {u'l', 76},  // turning
}};

}  // namespace

std::optional<std::int16_t> CodeLetterKey(char16_t c) {
  for (const CodeLetter& row : kCodeLetters) {
    if (row.letter == c) return row.vk;
  }
  return std::nullopt;
}

void AppendCode(KeySequence& keys, std::u16string_view code) {
  if (code.size() > kMaxCodeLength) {
    throw PanelError(ErrorKind::Overflow,
                     "a code of " + std::to_string(code.size()) + " characters exceeds the position counter");
  }
  for (char16_t c : code) {
    if (const auto key = CodeLetterKey(c)) keys.TapKey(*key);
  }
}

void AppendCodePickFirst(KeySequence& keys, std::u16string_view code) {
  keys.TapKey(vk::kEscape);
  AppendCode(keys, code);
  keys.TapKey(vk::kDigit1);
}

}  // namespace yg
