#pragma once

#include <cstdint>

namespace yg {

// A key pressed with modifiers held.
struct KeyChord {
  static constexpr int kShift = 1, kCtrl = 2, kAlt = 4;
  int modifiers = 0;
  std::uint8_t vk = 0;
  friend constexpr bool operator==(KeyChord, KeyChord) = default;
};

// A key combination that reaches the panel from every program: Form1::HotkeyPressed runs when it
// is pressed, and the program the user writes in keeps the keyboard. Neither call fails.
class GlobalHotkey {
 public:
  virtual ~GlobalHotkey() = default;

  // False when the system refuses the combination: another program holds it.
  virtual bool Register(KeyChord chord) = 0;
  // Gives back a combination held; nothing when none is.
  virtual void Unregister() = 0;
};

}  // namespace yg
