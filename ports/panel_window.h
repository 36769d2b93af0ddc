#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/control_id.h"

namespace yg {

// The panel's own items in its window menu, below the system's: the settings and the About box;
// and the two the notification icon's menu has around them.
enum class MenuItem : std::uint8_t {
  RememberPlace,
  KeySize100,
  KeySize125,
  KeySize150,
  KeySize200,
  StartAtSignIn,
  RemoteDesktop,
  DwellOff,
  Dwell800,
  Dwell1200,
  Dwell2000,
  HoldRepeat,
  About,
  Hotkey,
  TrayIcon,
  IdleOpacity100,
  IdleOpacity80,
  IdleOpacity60,
  IdleOpacity40,
  ShowHide,  // the icon's menu only
  Exit,      // the icon's menu only
};

// The panel's timers. Each runs on its own, on the panel's thread; none runs unless a setting that
// needs it is on.
enum class TimerId : std::uint8_t {
  Dwell,       // the pointer resting on a key
  HoldRepeat,  // a key held down repeating
  IdleFade,    // the panel fading while the pointer is elsewhere
};

// Where the pointer is: the control under it (none over the bare panel, its title bar and border,
// or off the panel), its place on the screen in pixels, the DPI of the monitor those pixels are
// on, and whether a mouse button is held down.
struct PointerPlace {
  std::optional<ControlId> control;
  int x = 0, y = 0;
  int dpi = 96;
  bool buttonDown = false;
};

// The keyboard's repeat as the user set it: the delay before a held key repeats, from 0 (the
// shortest, about 250 ms) to 3 (about 1 s), and the speed of its repeats, from 0 (about 2.5 a
// second) to 31 (about 30 a second).
struct KeyboardRepeat {
  int delay = 1;
  int speed = 31;
};

// The panel's own top-level window and the window system around it. Sizes and positions are
// twips of the outer window; the screen is the whole primary display. A failure raises
// PanelError.
class PanelWindow {
 public:
  virtual ~PanelWindow() = default;

  // Shows the window modeless and without an owner.
  virtual void Show() = 0;
  virtual float Left() const = 0;
  virtual float Top() const = 0;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  virtual void SetLeft(float twips) = 0;
  virtual void SetTop(float twips) = 0;
  virtual void SetWidth(float twips) = 0;
  virtual void SetHeight(float twips) = 0;
  // The scale of the window's twips: pixels per inch, its monitor's DPI times the key size. A
  // position in twips names a spot on the screen only together with the scale it was taken at.
  virtual unsigned Scale() const = 0;
  // Moves the window in one move, its size kept in twips: its left and top edges to `left` and
  // `top`, twips at `scale` (0: at the window's scale now). Put on a monitor of another scaling,
  // it takes that monitor's scale once it stands there, its top-left corner where it was put.
  virtual void Move(float left, float top, unsigned scale) = 0;
  virtual float ScreenWidth() const = 0;
  virtual float ScreenHeight() const = 0;

  // Moves the window to the top of the topmost band with the given SetWindowPos flags.
  virtual void SetTopmost(std::uint32_t positionFlags) = 0;
  virtual std::uint32_t ExtendedStyle() const = 0;
  virtual void SetExtendedStyle(std::uint32_t style) = 0;
  // Hides the window; SetTopmost with SWP_SHOWWINDOW shows it again. Visible is false while it
  // is hidden.
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;
  // Closes the window as its close box does, once the handler under way has returned: Unload
  // runs, and the program ends.
  virtual void Close() = 0;
  // Draws the whole window, frame and controls, at `alpha` of 255 (clicks still reach it);
  // nothing makes it an ordinary opaque window again.
  virtual void SetOpacity(std::optional<std::uint8_t> alpha) = 0;
  // The mouse pointer is over the window, its frame and title bar included.
  virtual bool PointerOver() const = 0;
  // A high-contrast theme is on.
  virtual bool HighContrast() const = 0;
  // Lets go of the mouse capture that a press gave the panel.
  virtual void ReleaseMouseCapture() = 0;
  // Runs the system's window-move loop as if the title bar had been pressed; returns when the
  // mouse button is released.
  virtual void RunMoveLoop() = 0;

  // Lays the panel out at `percent` of its size: every length of the layout, the fonts and the
  // stroke pictures grows by that factor on top of the display's scale, while the panel's own
  // twips stay what they were. Afterwards every size and position in twips (the window's, the
  // screen's) is at the new scale; the window keeps its top-left corner and its size in twips.
  // Before the window exists, sets the scale it is made at.
  virtual void SetKeySize(int percent) = 0;
  // Starts the timer `id`, or starts it again from now: Form1::Timer(id) runs every
  // `milliseconds` until it is stopped. Stopping a timer that does not run does nothing.
  virtual void StartTimer(TimerId id, unsigned milliseconds) = 0;
  virtual void StopTimer(TimerId id) = 0;
  // When the event being handled happened, in milliseconds since some moment in the past: the
  // clock of the timers and of the pointer's rests.
  virtual std::uint64_t Milliseconds() const = 0;
  virtual PointerPlace Pointer() const = 0;
  virtual KeyboardRepeat KeyRepeat() const = 0;
  // Shows or clears the check mark of one of the panel's items in the window menu.
  virtual void CheckMenuItem(MenuItem item, bool checked) = 0;
  // Greys one of the panel's items in the window menu, or makes it choosable again.
  virtual void EnableMenuItem(MenuItem item, bool enabled) = 0;

  // A modal message with an OK button only and no icon, captioned with the program's title.
  virtual void ShowMessage(std::u16string_view text) = 0;
  // Reports an error that ends the program, then ends it.
  virtual void ReportFatalError(std::u16string_view text) = 0;
};

}  // namespace yg
