#pragma once

// Row types shared by the key pads' tables, and the lookup every handler starts with.

#include <array>
#include <cstdint>
#include <string_view>

#include "keys/key_sequence.h"
#include "base/control_id.h"

namespace yg {

// A button that types a stroke code.
struct CodeKey {
  ControlId control;
  std::u16string_view code;
};

// One tap of a key, with or without the left Shift held around it.
struct KeyStroke {
  bool shifted;
  std::int16_t vk;
};
constexpr KeyStroke Tap(std::int16_t vk) { return {false, vk}; }
constexpr KeyStroke ShiftTap(std::int16_t vk) { return {true, vk}; }

// A button that types a fixed run of taps (at most three).
struct FixedKeys {
  ControlId control;
  std::array<KeyStroke, 3> strokes;
  std::uint8_t count;
};

void AppendStrokes(KeySequence& keys, const FixedKeys& row);

// The row of `table` whose control is `control`, or nullptr.
template <class Table>
constexpr const typename Table::value_type* FindRow(const Table& table, ControlId control) {
  for (const auto& row : table) {
    if (row.control == control) return &row;
  }
  return nullptr;
}

}  // namespace yg
