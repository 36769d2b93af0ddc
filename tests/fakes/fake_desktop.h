#pragma once

// Fakes of the desktop around the panel: the monitors' work areas, the program the keys go to,
// and the tip. Each can log its calls to a CallLog; none does unless told, so that the logs of
// tests that do not care stay as they were.

#include <optional>
#include <string>
#include <vector>

#include "ports/displays.h"
#include "ports/key_target.h"
#include "ports/tip_window.h"
#include "tests/fakes/call_log.h"

namespace yg::testing {

class FakePanelWindow;

// Monitors: by default one, the fake window's screen, with no taskbar. The panel's outline is
// the fake window's own rectangle, unless its frame is made thinner.
class FakeDisplays : public Displays {
 public:
  explicit FakeDisplays(const FakePanelWindow& window) : window_(window) {}

  std::vector<ScreenRect> WorkAreas() override;
  ScreenRect PanelBounds() override;

  std::optional<std::vector<ScreenRect>> workAreas;  // unset: the whole screen
  unsigned workAreasScale = 0;  // the scale `workAreas` are given at; 0: the window's, whatever it is
  // The outline lies this many twips inside the window's rectangle on every side, as the
  // system's frame does where it is thinner than the one the panel's twips allow for.
  double thinnerFrame = 0;
  CallLog* log = nullptr;

 private:
  const FakePanelWindow& window_;
};

class FakeKeyTarget : public KeyTarget {
 public:
  KeyReach KeysReachFocus() override;
  std::optional<LayoutHandle> Layout() override;

  KeyReach reach = KeyReach::Reaches;
  std::optional<LayoutHandle> layout;  // nothing: no foreground window
  CallLog* log = nullptr;
};

// Measures a text as 180 twips a character on lines no wider than asked, 270 twips a line.
class FakeTipWindow : public TipWindow {
 public:
  Size Measure(std::u16string_view text, double maxWidth) override;
  void Show(std::u16string_view text, double left, double top, Size size) override;
  void Hide() override;

  // What the screen shows now.
  std::optional<std::u16string> shown;
  ScreenRect place;
  int shows = 0;
  CallLog* log = nullptr;
};

}  // namespace yg::testing
