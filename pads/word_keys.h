#pragma once

#include <array>

#include "keys/key_event.h"
#include "pads/key_rows.h"

namespace yg {

// Common characters: Escape, the character's stroke code, then 1 for the first candidate.
inline constexpr std::array<CodeKey, 4> kCommonCharacterKeys{{
    {Ctl::Command12, u"jilhhjlk"},   // 的
    {Ctl::Command13, u"hjik"},       // 不
    {Ctl::Command14, u"ilhhhihjk"},  // 是
    {Ctl::Command15, u"hjihih"},     // 在
}};

// Punctuation and phrases: the keys (US names) that the input method turns into the mark or
// phrase on the button. Shifted keys are held with the left Shift.
inline constexpr std::array<FixedKeys, 13> kPunctuationKeys{{
    {Ctl::Command16, {ShiftTap(57)}, 1},                                      // (  Shift+9
    {Ctl::Command18, {ShiftTap(48)}, 1},                                      // )  Shift+0
    {Ctl::Command19, {Tap(220)}, 1},                                          // 、 backslash
    {Ctl::Command29, {Tap(190)}, 1},                                          // 。 period
    {Ctl::Command32, {ShiftTap(191)}, 1},                                     // ?  Shift+slash
    {Ctl::Command33, {ShiftTap(49)}, 1},                                      // !  Shift+1
    {Ctl::Command35, {Tap(188)}, 1},                                          // ， comma
    {Ctl::Command43, {ShiftTap(186)}, 1},                                     // ： Shift+semicolon
    {Ctl::Command44, {ShiftTap(222)}, 1},                                     // ” Shift+apostrophe
    {Ctl::Command45, {Tap(222)}, 1},                                          // ’ apostrophe
    {Ctl::Command46, {Tap(186)}, 1},                                          // ； semicolon
    {Ctl::Command17, {Tap(vk::kEscape), Tap(79)}, 2},                         // 你好 Escape, O
    {Ctl::Command23, {Tap(vk::kEscape), Tap(79), Tap(79)}, 3},                // 哇 Escape, O, O
}};

// The punctuation keys that type letters for the input method to make a phrase of.
inline constexpr std::array<ControlId, 2> kPhraseKeys{Ctl::Command17, Ctl::Command23};

}  // namespace yg
