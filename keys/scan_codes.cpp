#include "keys/scan_codes.h"

#include <algorithm>
#include <array>

namespace yg {

namespace {

// Keys whose scan code is E0-prefixed on every layout: they sit in the navigation cluster, and
// the keypad keys of the same code without the prefix type digits. Wine 8's MapVirtualKeyEx
// gives their codes without the prefix (0x49 for Page Up, where Windows gives 0xE049).
constexpr std::array<std::uint8_t, 10> kNavigationKeys{
    33,  // Page Up
    34,  // Page Down
    35,  // End
    36,  // Home
    37,  // Left
    38,  // Up
    39,  // Right
    40,  // Down
    45,  // Insert
    46,  // Delete
};

constexpr std::uint32_t kPrefixE0 = 0xE0;

}  // namespace

ScanCode ScanCodeOf(std::uint8_t vk, std::uint32_t mapped) {
  const std::uint32_t prefix = (mapped >> 8) & 0xFF;
  const auto code = static_cast<std::uint8_t>(mapped & 0xFF);
  if (code == 0 || (prefix != 0 && prefix != kPrefixE0) || mapped > 0xFFFF) return {};
  const bool navigation = std::find(kNavigationKeys.begin(), kNavigationKeys.end(), vk) != kNavigationKeys.end();
  return {code, prefix == kPrefixE0 || navigation};
}

KeyEvent WithScanCode(KeyEvent event, ScanCode scan) {
  event.scan = scan.code;
  event.extended = scan.extended;
  return event;
}

}  // namespace yg
