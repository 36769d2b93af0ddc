#pragma once

#include <cstdint>

namespace yg {

// Virtual-key numbers the panel uses by name (Windows' numbering).
namespace vk {
inline constexpr std::int16_t kBackspace = 8;
inline constexpr std::int16_t kControl = 17;
inline constexpr std::int16_t kEscape = 27;
inline constexpr std::int16_t kPageUp = 33;
inline constexpr std::int16_t kPageDown = 34;
inline constexpr std::int16_t kDigit1 = 49;
inline constexpr std::int16_t kLeftShift = 160;
inline constexpr std::int16_t kGraveAccent = 192;  // VK_OEM_3 on the US layout
}  // namespace vk

enum class KeyDirection : std::uint8_t { Down, Up };

// One synthesised key event. By default the system side sends it with scan code 0, no flag but
// the key-up flag, and no extra information. For programs that read scan codes (remote desktops,
// virtual machines) an event may carry its key's scan code, with the extended-key flag for a
// code that comes with the E0 prefix.
struct KeyEvent {
  std::uint8_t vk;
  KeyDirection direction;
  std::uint8_t scan = 0;
  bool extended = false;
  friend constexpr bool operator==(KeyEvent, KeyEvent) = default;
};

constexpr KeyEvent Down(std::uint8_t vk) { return {vk, KeyDirection::Down}; }
constexpr KeyEvent Up(std::uint8_t vk) { return {vk, KeyDirection::Up}; }

}  // namespace yg
