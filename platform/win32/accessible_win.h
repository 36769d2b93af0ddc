#pragma once

// The panel's controls as screen readers meet them, through Microsoft Active Accessibility
// (and UI Automation's bridge to it on Windows).

#include <windows.h>

#include <memory>
#include <vector>

#include "base/control_id.h"

namespace yg::win32 {

// Posted to the panel when a screen reader asks for a control's default action; wParam is the
// control's window. An offset of its own, clear of any other private message of the panel.
inline constexpr UINT kDefaultActionMessage = WM_APP + 0x0A11;

// IAccessible's interface identifier, spelled out: the one in mingw-w64's liboleacc.a is wrong
// once linked statically, and the system then answers E_NOINTERFACE.
inline constexpr IID kIidIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Gives controls the name, role and default action of panel/accessibility.h. A control's window
// answers WM_GETOBJECT with an object of ours that wraps the system's standard one (which knows
// the control's place, state, focus and neighbours) and says those three things itself. The
// default action is posted to the panel, so a screen reader never waits on a handler. The object
// is made at the first question, and COM with it; each is let go, and cut off from the screen
// readers that still hold it, when its window goes.
class ScreenReaders {
 public:
  ScreenReaders();
  ~ScreenReaders();
  ScreenReaders(const ScreenReaders&) = delete;
  ScreenReaders& operator=(const ScreenReaders&) = delete;

  // What a window that shows `control` passes on of its messages, before its own procedure:
  // screen readers' questions (answered: true, with the window procedure's `result`) and its
  // going. Its default action goes to `panel`. A control that screen readers pass by (no role)
  // is answered by the window's own procedure.
  bool OnMessage(HWND window, ControlId control, HWND panel, UINT message, WPARAM wParam, LPARAM lParam,
                 LRESULT& result);

  struct Slot;

 private:
  Slot& SlotOf(HWND window);
  LRESULT Answer(Slot& slot, ControlId control, HWND panel, WPARAM wParam);
  void Forget(Slot& slot);
  bool Ready();

  std::vector<std::unique_ptr<Slot>> slots_;  // the windows asked so far, or going
  enum class State { Untried, Ready, Failed } state_ = State::Untried;
  bool comStarted_ = false;
};

// How many of our accessible objects exist: none once every window is gone and every holder has
// let go (for the tests).
long LiveAccessibleObjects();

}  // namespace yg::win32
