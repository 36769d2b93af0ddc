#include "layouts/keyboard_layout_list.h"

#include <algorithm>
#include <string>

#include "base/checked.h"
#include "base/errors.h"

namespace yg {

LayoutHandle KeyboardLayoutList::HandleAt(std::size_t position) const {
  if (position >= layoutHandles.size()) {
    throw PanelError(ErrorKind::SubscriptOutOfRange, "layout position " + std::to_string(position));
  }
  return layoutHandles[position];
}

void KeyboardLayoutList::ListKeyboardLayouts(KeyboardLayouts& layouts, Controls& controls) {
  std::int16_t listPosition = -1;
  // One buffer serves every input method in turn; an entry takes only what its own call wrote.
  std::array<char16_t, kDescriptionSize> descBuffer{};
  const LayoutHandle savedLayout = layouts.Active();
  layoutCount = std::min(layouts.List(layoutHandles), layoutHandles.size());

  for (std::size_t k = 0; k < layoutCount; ++k) {
    const LayoutHandle layout = HandleAt(k);
    if (layouts.IsInputMethod(layout) == 1) {
      const std::size_t written = std::min(layouts.Description(layout, descBuffer), descBuffer.size());
      const auto end = std::find(descBuffer.begin(), descBuffer.begin() + written, u'\0');
      controls.AddListEntry(Ctl::Combo1, std::u16string_view(descBuffer.data(), end - descBuffer.begin()));
      listPosition = CheckedIncrement(listPosition);
    } else {
      controls.AddListEntry(Ctl::Combo1, kPlainLayoutEntry);
      listPosition = CheckedIncrement(listPosition);
      englishIndex = listPosition;
    }
  }
  layouts.Activate(savedLayout);
}

void KeyboardLayoutList::RestoreEnglishLayout(KeyboardLayouts& layouts) const {
  // With nothing listed there is no layout to go back to; handle 0 would make Windows switch
  // to the previous layout instead.
  if (layoutCount == 0) return;
  layouts.Activate(HandleAt(static_cast<std::size_t>(englishIndex)));
}

}  // namespace yg
