#pragma once

// Keys pressed without a click of their own, for hands that cannot click at will: the pointer
// resting on a key clicks it, and a key held down repeats as a keyboard's key does.

#include <cstdint>
#include <optional>

#include "base/control_id.h"
#include "ports/panel_window.h"

namespace yg {

// While the pointer rests, the mark on the key moves on this often.
inline constexpr unsigned kRestTickMs = 50;
// A stroke key clicked by a rest shows its pressed picture at least this long before its stroke.
inline constexpr unsigned kRestPressMs = 100;
// A pointer that strays no further than this from where it came to rest, in pixels at 96 DPI and
// as many more at a higher DPI, still rests.
inline constexpr int kRestSlack = 4;
// A repeat that comes late (the panel was busy) makes up for those it missed, as a keyboard's
// queued repeats do, but for no more than this long: after the computer slept, say, a held key
// must not pour out thousands.
inline constexpr unsigned kMostMissedMs = 1000;
// The button bit a rest presses a stroke key with; the mouse's are 1 to 16.
inline constexpr int kRestButton = 0x100;

// 退笔, 上页 and 下页: the keys a keyboard user holds down.
bool RepeatsWhenHeld(ControlId control);

// True when the pointer at `now` has strayed no further from `from` than the slack allows.
bool StillResting(const PointerPlace& from, const PointerPlace& now);

// The keyboard's repeat in milliseconds, from the user's setting.
struct RepeatTiming {
  unsigned delayMs;
  double periodMs;
  // The most repeats one tick makes up for: kMostMissedMs of them, at least one.
  int MostAtOnce() const;
};
RepeatTiming RepeatTimingOf(KeyboardRepeat repeat);

// How many repeats a key held down for `heldMs` has made.
int RepeatsAfter(std::uint64_t heldMs, const RepeatTiming& timing);

// What the panel keeps of the pointer's rests and of a held key.
struct HoverState {
  // The pointer resting on a key: where it came to rest, and when.
  struct Rest {
    ControlId key;
    PointerPlace from;
    std::uint64_t since;
  };
  std::optional<Rest> rest;
  // The key a rest or a click clicked last: no rest clicks it again until the pointer leaves it.
  std::optional<ControlId> clicked;
  // A stroke key a rest pressed, released once kRestPressMs have passed.
  struct Press {
    ControlId key;
    std::uint64_t since;
  };
  std::optional<Press> press;
  // A key repeating: held down with the left button, or rested on (until the pointer leaves it).
  struct Hold {
    ControlId key;
    std::uint64_t since;
    RepeatTiming timing;
    bool byRest;
    int due = 0;    // the repeats it has made or missed so far
    int typed = 0;  // the repeats that typed
  };
  std::optional<Hold> hold;
  // The click a held key's release makes after it repeated: its repeats were its keys.
  std::optional<ControlId> repeatedRelease;
};

}  // namespace yg
