#pragma once

// Out of the way when not needed: the key combination that hides and shows the panel, and the
// panel drawn see-through while the pointer is elsewhere.

#include <cstdint>
#include <string_view>

#include "ports/hotkey.h"
#include "ports/panel_window.h"

namespace yg {

// Ctrl+Alt+K: neither Windows nor the common programs use it, and the menu item names it.
inline constexpr KeyChord kShowHideChord{KeyChord::kCtrl | KeyChord::kAlt, 'K'};
inline constexpr std::u16string_view kHotkeyRefusedTip =
    u"快捷键 Ctrl+Alt+K 已被其他程序占用，不能用它显示和隐藏雁格输入法按键面板。";
// The notification icon's tip when the version resource names no program.
inline constexpr std::u16string_view kIconTipFallback = u"雁格输入法按键面板";

// How often the pointer is looked for while the panel is opaque, how many looks in a row must
// miss it before the panel fades (a second), and the fade itself: eight steps in a quarter
// second.
inline constexpr unsigned kPointerCheckMilliseconds = 100;
inline constexpr int kChecksBeforeFading = 10;
inline constexpr unsigned kFadeStepMilliseconds = 30;
inline constexpr int kFadeSteps = 8;

// The alpha of an opacity in percent, 255 for 100.
std::uint8_t AlphaOf(int percent);

// The panel's opacity while 空闲时透明 is on: opaque while the pointer is over it and for a moment
// after it leaves, then faded to the chosen opacity. Off, in a high-contrast theme or hidden, no
// timer runs; off or in high contrast the window is an ordinary opaque one again.
class IdleFade {
 public:
  explicit IdleFade(PanelWindow& window) : window_(window) {}

  // The setting (kOpaque: off) and whether a high-contrast theme is on. With nothing changed
  // it does nothing, so that the panel does not flash opaque at every change of the system's
  // settings.
  void Configure(int percent, bool highContrast);
  // The panel was shown again, opaque: it fades a moment later unless the pointer is over it.
  void Shown();
  void Hidden();
  // The pointer is somewhere over the panel: opaque at once.
  void PointerOver();
  // TimerId::IdleFade ran its time.
  void Tick();

 private:
  enum class Phase : std::uint8_t {
    Still,     // no timer runs: off, hidden, or faded
    Watching,  // opaque, looking for the pointer
    Fading,
  };
  bool Active() const;
  void Watch();
  void Stop();

  PanelWindow& window_;
  int percent_ = 100;
  bool highContrast_ = false;
  bool shown_ = true;
  Phase phase_ = Phase::Still;
  int count_ = 0;  // Watching: looks in a row that missed the pointer; Fading: steps done
};

}  // namespace yg
