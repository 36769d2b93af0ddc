#pragma once

// Warnings for keys that will not do what the user meant: keys the system drops on their way to
// a program run as administrator, and stroke codes that become plain letters because the
// program's keyboard is not Chinese. The keys go out all the same; a tip by the panel says what
// happened.

#include <optional>
#include <string_view>

#include "ports/displays.h"
#include "ports/key_target.h"
#include "ports/tip_window.h"

namespace yg {

inline constexpr std::u16string_view kElevatedTargetTip =
    u"目标程序以管理员身份运行，雁格输入法按键面板无法向它输入。请也以管理员身份运行按键面板。";
inline constexpr std::u16string_view kNoInputMethodTip =
    u"当前不是中文输入法，笔画码会作为字母输入。请先切换到雁格输入法。";

// What a click's keys went out as.
enum class SentKeys {
  Keys,     // strokes, punctuation, editing and candidate keys: any layout types them as meant
  Letters,  // stroke codes and phrase keys: only the input method makes text of them
};

// True when the layout's language (its low word) is Chinese, of any region. Only then can an
// input method such as ours be on: the system says no more than that. Input methods of the text
// services sit on a plain layout of their language (0x08040804), which ImmIsIME does not count,
// and whether one is switched on, or in its English mode, no program can ask of another's.
bool ChineseLayout(LayoutHandle layout);

// The warning for keys just sent to the foreground program, or nothing. Keys the system drops
// come first, as nothing at all arrives then; a layout that is not Chinese is only worth a word
// when the keys were letters. What the system cannot tell warns of nothing.
std::optional<std::u16string_view> WarningFor(SentKeys sent, KeyTarget& target);

// Shows `text` in the tip by the panel, no wider than the panel, inside the work area of the
// monitor the panel stands on.
void ShowTipByPanel(std::u16string_view text, TipWindow& tip, Displays& displays);

}  // namespace yg
