#include "pads/key_rows.h"

#include "base/checked.h"
#include "base/errors.h"

namespace yg {

void AppendStrokes(KeySequence& keys, const FixedKeys& row) {
  if (row.count > row.strokes.size()) {
    throw PanelError(ErrorKind::SubscriptOutOfRange, "key row of " + ControlName(row.control));
  }
  for (std::size_t i = 0; i < row.count; ++i) {
    const KeyStroke& s = row.strokes[i];
    if (s.shifted) {
      keys.TapShiftedKey(s.vk);
    } else {
      keys.TapKey(s.vk);
    }
  }
}

}  // namespace yg
