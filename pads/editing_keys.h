#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "keys/key_event.h"
#include "pads/key_rows.h"
#include "ports/controls.h"

namespace yg {

// Editing keys: one tap of the key the input method uses for the function.
inline constexpr std::array<FixedKeys, 4> kEditingKeys{{
    {Ctl::Command1, {Tap(vk::kEscape)}, 1},     // 重写: clear the composition
    {Ctl::Command9, {Tap(vk::kBackspace)}, 1},  // 退笔: take back the last stroke
    {Ctl::Command10, {Tap(vk::kPageUp)}, 1},    // 上页: previous candidate page
    {Ctl::Command11, {Tap(vk::kPageDown)}, 1},  // 下页: next candidate page
}};

// The members of the candidate array `skb`. A member's index is also the virtual key it types:
// the digits 0 to 9 (48 to 57) choose a candidate, 189 is the minus key.
inline constexpr std::array<std::int16_t, 11> kCandidateKeyIndexes{48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 189};

// The background of a candidate key while it has the focus within the panel, and after.
inline constexpr Rgb kCandidateFocusColor{224, 255, 0};
inline constexpr Rgb kCandidateUnfocusedColor{255, 255, 255};

// The word-building key `Command5` holds the input method's word-building state in its caption.
inline constexpr std::u16string_view kWordBuildingOff = u"造词开始";  // a click starts word building
inline constexpr std::u16string_view kWordBuildingOn = u"造词结束";   // a click ends it

// The character whose key, with Ctrl, switches word building.
inline constexpr char16_t kWordBuildingChordCharacter = u'`';

}  // namespace yg
