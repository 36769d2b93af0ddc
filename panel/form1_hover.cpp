// Hover to click and hold to repeat: Form1's handlers for the pointer resting on a key, and for a
// key held down or rested on repeating. Both settings are off by default; while they are off none
// of this runs a timer or types a key.

#include <algorithm>

#include "pads/key_rows.h"
#include "pads/stroke_pad.h"
#include "panel/accessibility.h"
#include "panel/form1.h"

namespace yg {

namespace {

// The key a click where the pointer is would press: a control with an action of its own, not a
// frame or a picture store. Nothing while a mouse button is held: that press is the user's own.
std::optional<ControlId> KeyUnder(const PointerPlace& place) {
  if (!place.control || place.buttonDown) return std::nullopt;
  if (AccessibleFaceOf(*place.control).action == AccessibleAction::None) return std::nullopt;
  return place.control;
}

}  // namespace

std::uint64_t Form1::Now() const { return platform.window.Milliseconds(); }

void Form1::ChangeDwellTime(int milliseconds) {
  settings.dwellMs = milliseconds;
  if (milliseconds == 0) {
    EndRest();
    if (hover.press) ReleaseRestPress();
    if (hover.hold && hover.hold->byRest) EndHold();
    hover.clicked.reset();
  }
  SaveDwellTime(platform.settings, milliseconds);
}

void Form1::ToggleHoldRepeat() {
  settings.holdRepeat = !settings.holdRepeat;
  if (!settings.holdRepeat) EndHold();
  SaveFlag(platform.settings, setting::kHoldRepeat, settings.holdRepeat);
}

void Form1::FollowPointer(const PointerPlace& place) {
  if (settings.dwellMs == 0) return;
  const auto key = KeyUnder(place);
  // Off the key it clicked, the pointer may click it again; a button held down on it is no leaving
  // it. A key repeating while rested on stops when the pointer leaves it or a button goes down.
  if (hover.clicked && place.control != hover.clicked) hover.clicked.reset();
  if (hover.hold && hover.hold->byRest && key != hover.hold->key) EndHold();
  if (!key || key == hover.clicked) return EndRest();
  if (hover.rest && hover.rest->key == *key && StillResting(hover.rest->from, place)) return;
  // Come to rest: on a new key, or somewhere else on this one.
  hover.rest = HoverState::Rest{*key, place, Now()};
  platform.controls.ShowRestMark(*key, 0);
  platform.window.StartTimer(TimerId::Dwell, kRestTickMs);
}

void Form1::RestTick() {
  if (hover.press) {
    if (Now() - hover.press->since >= kRestPressMs) ReleaseRestPress();
    return;
  }
  if (!hover.rest) return platform.window.StopTimer(TimerId::Dwell);
  // No click reaches a key while a message box, the window menu or the move loop waits, and no
  // rest does: its keys would go to the box or the menu.
  if (OtherHandlerWaits()) return EndRest();
  // Where the pointer is now: the panel may have moved under it, or hidden the key.
  FollowPointer(platform.window.Pointer());
  if (!hover.rest) return;
  const std::uint64_t waited = Now() - hover.rest->since;
  const auto time = static_cast<std::uint64_t>(settings.dwellMs);
  if (waited < time) {
    return platform.controls.ShowRestMark(hover.rest->key, static_cast<double>(waited) / static_cast<double>(time));
  }
  ClickByRest();
}

void Form1::EndRest() {
  if (!hover.rest) return;
  platform.controls.HideRestMark();
  hover.rest.reset();
  if (!hover.press) platform.window.StopTimer(TimerId::Dwell);
}

// Exactly what a click of the mouse does.
void Form1::ClickByRest() {
  const ControlId key = hover.rest->key;
  EndRest();
  hover.clicked = key;
  if (FindRow(kStrokeKeys, key)) {
    // A press and, a moment later, its release: the pressed picture shows.
    platform.tip.Hide();
    StrokeKeyDown(key, kRestButton);
    hover.press = HoverState::Press{key, Now()};
    platform.window.StartTimer(TimerId::Dwell, kRestTickMs);
    return;
  }
  OnClick(key);
  if (settings.holdRepeat && RepeatsWhenHeld(key)) StartHold(key, true);
}

void Form1::ReleaseRestPress() {
  const ControlId key = hover.press->key;
  hover.press.reset();
  if (!hover.rest) platform.window.StopTimer(TimerId::Dwell);
  StrokeKeyUp(key, kRestButton);
}

void Form1::PressedByHand(std::optional<ControlId> control) {
  if (hover.press) ReleaseRestPress();
  if (hover.hold && hover.hold->byRest) EndHold();
  EndRest();
  if (settings.dwellMs != 0) hover.clicked = control;
}

void Form1::HoldDown(ControlId control, int button) {
  hover.repeatedRelease.reset();
  if (settings.holdRepeat && button == MouseArgs::kLeft && RepeatsWhenHeld(control)) StartHold(control, false);
}

// The left button let go of the key, or the key lost the mouse: the repeats it still owed go out
// (a busy panel may have kept its timer waiting), and nothing more.
void Form1::HoldReleased(ControlId control) {
  if (!hover.hold || hover.hold->byRest || hover.hold->key != control) return;
  TypeRepeatsDue(platform.window.Pointer().control == control, 0);
  if (hover.hold->typed > 0) hover.repeatedRelease = control;
  EndHold();
}

void Form1::StartHold(ControlId key, bool byRest) {
  const RepeatTiming timing = RepeatTimingOf(platform.window.KeyRepeat());
  hover.hold = HoverState::Hold{key, Now(), timing, byRest};
  platform.window.StartTimer(TimerId::HoldRepeat, timing.delayMs);
}

void Form1::HoldTick() {
  if (!hover.hold) return platform.window.StopTimer(TimerId::HoldRepeat);
  const bool onKey = platform.window.Pointer().control == hover.hold->key;
  if (hover.hold->byRest && (!onKey || OtherHandlerWaits())) {
    hover.clicked.reset();
    return EndHold();
  }
  // The first tick comes when the delay has run out, whatever a clock of coarser steps says.
  const bool first = hover.hold->due == 0;
  TypeRepeatsDue(onKey, first ? 1 : 0);
  if (first) {
    platform.window.StartTimer(TimerId::HoldRepeat, static_cast<unsigned>(std::max(1.0, hover.hold->timing.periodMs)));
  }
}

// Every repeat a whole tap, as a click types it; one that came while the pointer was off the key
// is missed.
void Form1::TypeRepeatsDue(bool pointerOnKey, int least) {
  HoverState::Hold& hold = *hover.hold;
  const int due = std::max(RepeatsAfter(Now() - hold.since, hold.timing), least);
  const int now = pointerOnKey ? std::clamp(due - hold.due, 0, hold.timing.MostAtOnce()) : 0;
  hold.due = std::max(hold.due, due);
  hold.typed += now;
  const ControlId key = hold.key;
  for (int i = 0; i < now; ++i) OnClick(key);
}

void Form1::EndHold() {
  if (!hover.hold) return;
  hover.hold.reset();
  platform.window.StopTimer(TimerId::HoldRepeat);
}

}  // namespace yg
