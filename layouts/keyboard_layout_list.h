#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ports/controls.h"
#include "ports/keyboard_layouts.h"

namespace yg {

// The installed keyboard layouts, listed into Combo1 at start-up, and the plain layout that is
// activated for the panel's thread when it closes.
class KeyboardLayoutList {
 public:
  static constexpr std::size_t kMaxLayouts = 25;
  static constexpr std::size_t kDescriptionSize = 255;
  static constexpr std::u16string_view kPlainLayoutEntry = u"English (American)";

  // Lists every layout into Combo1, an input method by its description and any other layout
  // as kPlainLayoutEntry, remembers the last plain one, and leaves the thread's layout as it
  // found it.
  void ListKeyboardLayouts(KeyboardLayouts& layouts, Controls& controls);
  // Activates the remembered plain layout; nothing when no layout was listed.
  void RestoreEnglishLayout(KeyboardLayouts& layouts) const;

  std::int16_t EnglishIndex() const noexcept { return englishIndex; }

 private:
  LayoutHandle HandleAt(std::size_t position) const;

  std::array<LayoutHandle, kMaxLayouts> layoutHandles{};
  std::size_t layoutCount = 0;
  std::int16_t englishIndex = 0;
};

}  // namespace yg
