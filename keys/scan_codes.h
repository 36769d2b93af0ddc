#pragma once

// The scan codes that key events carry in remote-desktop mode.

#include <cstdint>

#include "keys/key_event.h"

namespace yg {

// A key's scan code as a keyboard sends it: the code, and whether it comes after the E0 prefix
// (the "extended" keys, such as Page Up beside the keypad's 9).
struct ScanCode {
  std::uint8_t code = 0;
  bool extended = false;
  friend constexpr bool operator==(ScanCode, ScanCode) = default;
};

// The scan code of `vk` from what the system's layout says of it: `mapped` as MapVirtualKeyEx
// with MAPVK_VK_TO_VSC_EX gives it, the code in the low byte and 0xE0 or 0xE1 in the next one for
// a prefixed code, 0 when the layout has no such key. The keys of the navigation cluster always
// come with E0, also where the system leaves the prefix out. A code with the E1 prefix (Pause)
// cannot be sent with its prefix, so it goes out as no code at all.
ScanCode ScanCodeOf(std::uint8_t vk, std::uint32_t mapped);

// The event with its scan code.
KeyEvent WithScanCode(KeyEvent event, ScanCode scan);

}  // namespace yg
