#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace yg {

using LayoutHandle = std::uintptr_t;

// The keyboard layouts and input methods of the panel's own thread.
class KeyboardLayouts {
 public:
  virtual ~KeyboardLayouts() = default;

  // The layout active for the panel's thread.
  virtual LayoutHandle Active() = 0;
  // Copies the installed layouts, in the system's order, into `handles`; returns how many.
  virtual std::size_t List(std::span<LayoutHandle> handles) = 0;
  // 1 when the layout is an input method.
  virtual int IsInputMethod(LayoutHandle layout) = 0;
  // Writes the input method's description into `buffer` (zero-terminated when it fits) and
  // returns the number of characters written without the terminator; 0 on failure.
  virtual std::size_t Description(LayoutHandle layout, std::span<char16_t> buffer) = 0;
  // Makes the layout active for the panel's thread.
  virtual void Activate(LayoutHandle layout) = 0;

  // The virtual key that types `c`, unshifted, on the layout of the program the user types in;
  // nothing when no key does or the platform cannot tell.
  virtual std::optional<std::uint8_t> KeyTyping(char16_t c) = 0;
  // What the layout of the program the user types in says of the scan code of `vk`, as
  // MapVirtualKeyEx with MAPVK_VK_TO_VSC_EX gives it: the code in the low byte, 0xE0 or 0xE1 in
  // the next one for a prefixed code; 0 when no key of the layout has it.
  virtual std::uint32_t ScanCode(std::uint8_t vk) = 0;
};

}  // namespace yg
