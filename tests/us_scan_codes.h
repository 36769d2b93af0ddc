#pragma once

// The scan codes of the US keyboard's keys that the panel sends, as the keyboard itself sends
// them (set 1): the code, and whether it follows the E0 prefix. Written out from the keyboard's
// own numbering, not from the panel's tables.

#include <cstdint>

namespace yg::testing {

struct UsKey {
  std::uint8_t vk;
  const char* name;
  std::uint8_t code;
  bool extended = false;
};

inline constexpr UsKey kUsKeys[] = {
    {8, "Backspace", 0x0E},     {17, "Ctrl", 0x1D},         {27, "Escape", 0x01},
    {33, "Page Up", 0x49, true}, {34, "Page Down", 0x51, true},
    {48, "0", 0x0B},            {49, "1", 0x02},            {50, "2", 0x03},
    {51, "3", 0x04},            {52, "4", 0x05},            {53, "5", 0x06},
    {54, "6", 0x07},            {55, "7", 0x08},            {56, "8", 0x09},
    {57, "9", 0x0A},            {71, "G", 0x22},            {72, "H", 0x23},
    {73, "I", 0x17},            {74, "J", 0x24},            {75, "K", 0x25},
    {76, "L", 0x26},            {79, "O", 0x18},            {160, "left Shift", 0x2A},
    {186, "semicolon", 0x27},   {188, "comma", 0x33},       {189, "minus", 0x0C},
    {190, "period", 0x34},      {191, "slash", 0x35},       {192, "grave accent", 0x29},
    {220, "backslash", 0x2B},   {222, "apostrophe", 0x28},
};

inline const UsKey* FindUsKey(std::uint8_t vk) {
  for (const UsKey& k : kUsKeys) {
    if (k.vk == vk) return &k;
  }
  return nullptr;
}

}  // namespace yg::testing
