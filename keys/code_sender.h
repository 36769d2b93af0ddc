#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "keys/key_sequence.h"

namespace yg {

// The longest code a 16-bit position counter can walk; a longer one is refused whole.
inline constexpr std::size_t kMaxCodeLength = 32766;

// The letter key typed for a code letter g, h, i, j, k or l (lower case only); nothing for any
// other character.
std::optional<std::int16_t> CodeLetterKey(char16_t c);

// Taps the key of every code letter of `code` in order; other characters are skipped.
// Overflow, with nothing added, for a code longer than kMaxCodeLength.
void AppendCode(KeySequence& keys, std::u16string_view code);

// Escape (drops the composition), the code, then digit 1 (takes the first candidate).
void AppendCodePickFirst(KeySequence& keys, std::u16string_view code);

}  // namespace yg
