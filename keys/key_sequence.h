#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "keys/key_event.h"

namespace yg {

// The key events of one handler, built up with the four key operations and then handed to the
// system as one batch (KeyInjector::Send). Each operation narrows its key number to a virtual
// key first: a number outside 0..255 raises Overflow and adds nothing.
class KeySequence {
 public:
  void PressKey(std::int16_t vk);
  void ReleaseKey(std::int16_t vk);
  void TapKey(std::int16_t vk);
  // Left Shift down, key down, key up, left Shift up: Shift is let go only after the key.
  void TapShiftedKey(std::int16_t vk);

  std::span<const KeyEvent> events() const noexcept { return events_; }

 private:
  std::vector<KeyEvent> events_;
};

}  // namespace yg
