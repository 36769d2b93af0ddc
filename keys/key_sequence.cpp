#include "keys/key_sequence.h"

#include "base/checked.h"

namespace yg {

void KeySequence::PressKey(std::int16_t vk) { events_.push_back(Down(NarrowToByte(vk))); }

void KeySequence::ReleaseKey(std::int16_t vk) { events_.push_back(Up(NarrowToByte(vk))); }

void KeySequence::TapKey(std::int16_t vk) {
  const auto key = NarrowToByte(vk);
  events_.insert(events_.end(), {Down(key), Up(key)});
}

void KeySequence::TapShiftedKey(std::int16_t vk) {
  const auto key = NarrowToByte(vk);
  const auto shift = NarrowToByte(vk::kLeftShift);
  events_.insert(events_.end(), {Down(shift), Down(key), Up(key), Up(shift)});
}

}  // namespace yg
