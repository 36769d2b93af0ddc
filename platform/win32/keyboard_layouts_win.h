#pragma once

#include "ports/keyboard_layouts.h"

namespace yg::win32 {

class SystemKeyboardLayouts : public KeyboardLayouts {
 public:
  LayoutHandle Active() override;
  std::size_t List(std::span<LayoutHandle> handles) override;
  int IsInputMethod(LayoutHandle layout) override;
  std::size_t Description(LayoutHandle layout, std::span<char16_t> buffer) override;
  void Activate(LayoutHandle layout) override;
  std::optional<std::uint8_t> KeyTyping(char16_t c) override;
  std::uint32_t ScanCode(std::uint8_t vk) override;
};

}  // namespace yg::win32
