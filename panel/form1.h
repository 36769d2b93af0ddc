#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "keys/key_injector.h"
#include "pads/stroke_pad.h"
#include "layouts/keyboard_layout_list.h"
#include "base/control_id.h"
#include "ports/controls.h"
#include "keys/key_sink.h"
#include "panel/hover.h"
#include "panel/key_warnings.h"
#include "panel/out_of_way.h"
#include "panel/settings.h"
#include "ports/displays.h"
#include "ports/hotkey.h"
#include "ports/key_target.h"
#include "ports/keyboard_layouts.h"
#include "ports/notification_icon.h"
#include "ports/panel_window.h"
#include "ports/settings_store.h"
#include "ports/shell.h"
#include "ports/tip_window.h"

namespace yg {

// The arguments of a mouse event: the button (1 left, 2 right, 4 middle, 8 the others), the
// modifiers (1 Shift, 2 Ctrl, 4 Alt) and the place in twips. Only the bare panel's press looks at
// them, and only at the button.
struct MouseArgs {
  static constexpr int kLeft = 1;
  int button = kLeft;
  int shift = 0;
  float x = 0;
  float y = 0;
};

// What the panel touches of the world.
struct PanelPlatform {
  KeySink& keys;
  Controls& controls;
  PanelWindow& window;
  KeyboardLayouts& layouts;
  Shell& shell;
  Displays& displays;
  KeyTarget& target;
  TipWindow& tip;
  SettingsStore& settings;
  GlobalHotkey& hotkey;
  NotificationIcon& icon;
};

// The key panel: one handler per window and control event. Every event is an error boundary:
// an error in a handler is reported with its name and ends the program, and from then on no
// event is handled.
class Form1 {
 public:
  explicit Form1(const PanelPlatform& platform);

  // The window's events, in the order the window system raises them at start-up.
  // Initialize returns false when the program must end at once (another copy runs); otherwise
  // it reads the settings, before the window is made.
  bool Initialize() noexcept;
  // Before Load, while the window is still hidden: sizes and places it where Load will, so that
  // showing it draws it once, in its place. A remembered place and mode are taken here.
  void PlaceHidden() noexcept;
  void Load() noexcept;
  void Activate() noexcept;
  void Paint() noexcept;
  // Mouse events on the bare panel, over no control and no frame.
  void MouseMove() noexcept;
  // Only the left button drags: the system's move loop ends on a left release only, so any
  // other press would leave the panel following the pointer with no button held.
  void MouseDown(const MouseArgs& args) noexcept;
  void DblClick() noexcept;
  void Unload() noexcept;
  // A press on the window's title bar or border, which the system answers itself (the move loop,
  // the window menu, the close box): like any press on the panel, it takes the tip away.
  void NonClientMouseDown() noexcept;
  // The monitors, their work areas or the scaling changed (a monitor came or went, the taskbar
  // moved): a panel no longer wholly on a work area moves onto the nearest one, and a tip placed
  // for the old ones goes.
  void DisplayChanged() noexcept;
  // The system's move loop ended: the user dragged the panel or moved it with the keyboard.
  void MoveEnded() noexcept;
  // The window menu is about to open: the check marks of the panel's items follow the settings.
  void MenuOpening() noexcept;
  // One of the panel's items of the window menu was chosen.
  void MenuChosen(MenuItem item) noexcept;
  // A timer the panel started has run its time.
  void Timer(TimerId id) noexcept;
  // The key combination of 显示/隐藏快捷键 was pressed, in whatever program.
  void HotkeyPressed() noexcept;
  // A click on the notification icon, or Enter on it.
  void IconClicked() noexcept;
  // Explorer started (again): its notification area is new and empty.
  void TaskbarCreated() noexcept;
  // The program was started again while this copy runs; the new copy has ended.
  void StartedAgain() noexcept;
  // The pointer is somewhere over the panel, its frame and title bar included.
  void PointerOver() noexcept;
  // The system's colours changed, or a high-contrast theme was switched on or off.
  void ColoursChanged() noexcept;
  // The pointer moved over the panel, or left it or one of its controls. Reported only while
  // FollowsPointer(): while the pointer may click by resting.
  void PointerMoved(const PointerPlace& place) noexcept;
  bool FollowsPointer() const noexcept { return settings.dwellMs != 0; }

  // Control events.
  void Click(ControlId control) noexcept;
  void MouseDown(ControlId control, const MouseArgs& args) noexcept;
  void MouseUp(ControlId control, const MouseArgs& args) noexcept;
  // The control lost the mouse before the buttons pressed on it were released (another window
  // took the mouse, Alt+Tab): those presses end without their release.
  void CaptureLost(ControlId control) noexcept;
  void GotFocus(ControlId control) noexcept;
  void LostFocus(ControlId control) noexcept;
  // A screen reader's default action on a control: what a click on it does. One that arrives
  // while another handler still runs (its message box is open) or the system's window menu or
  // move loop runs is dropped, as a click would be.
  void DefaultAction(ControlId control) noexcept;
  // The system's window menu or move loop began (true) or ended. They run inside the system, not
  // in a handler of the panel's; the menu holds the keyboard while it is open.
  void SystemLoop(bool open) noexcept { systemLoop = open; }

  const std::u16string& PendingCode() const noexcept { return pendingCode; }
  std::int16_t EnglishIndex() const noexcept { return layoutList.EnglishIndex(); }
  const PanelSettings& Settings() const noexcept { return settings; }
  // True once an error has ended the program.
  bool Ended() const noexcept { return ended; }

 private:
  template <class Handler>
  void Guarded(std::string_view event, ControlId control, Handler&& handler) noexcept;

  void ReadStoredSettings();
  void LoadPanel();
  void PlaceAtStart();
  // Centred on the primary monitor, kBottomGap above the bottom of the screen, in one move.
  void MoveToStartPlace();
  // The remembered mode and place, where they are good; true when either was taken.
  bool RestoreRemembered();
  void SavePlaceIfRemembered();
  void MakeTopmost();
  void BeginWindowDrag();
  void OnClick(ControlId control);
  // Sends the keys of a click; what went out, or nothing for a control that sends no keys.
  std::optional<SentKeys> SendClickKeys(ControlId control);
  void WarnIfLost(SentKeys sent);
  // True when the panel had to move.
  bool KeepOnScreen();
  bool MenuChecked(const MenuRow& row);
  // The value a group's setting has now, and the choice of one of its rows.
  int GroupValue(MenuGroup group) const;
  void ChooseInGroup(MenuGroup group, int value);
  void Choose(MenuItem item);
  void ChangeKeySize(int percent);
  void RememberPlace(bool on);
  bool WillStartAtSignIn(std::u16string_view executable);
  void ToggleStartAtSignIn();
  void UseScanCodes(bool remoteDesktop);
  // 显示/隐藏快捷键, 通知区域图标 and 空闲时透明 (form1_out_of_way.cpp).
  void StartOutOfWay();
  void EndOutOfWay();
  void StartedAgainWhileRunning();
  void ToggleShown();
  void HidePanel();
  void ShowPanel();
  void ToggleHotkey();
  void ToggleTrayIcon();
  void ChangeIdleOpacity(int percent);
  void AddIcon();
  void ConfigureFade();
  void ChangeDwellTime(int milliseconds);
  void ToggleHoldRepeat();
  // Hover to click and hold to repeat (form1_hover.cpp).
  std::uint64_t Now() const;
  void FollowPointer(const PointerPlace& place);
  void RestTick();
  void EndRest();
  void ClickByRest();
  void ReleaseRestPress();
  // A press or click of the user's own on `control`, or on no key.
  void PressedByHand(std::optional<ControlId> control);
  void HoldDown(ControlId control, int button);
  void HoldReleased(ControlId control);
  void StartHold(ControlId key, bool byRest);
  void HoldTick();
  // The repeats due by now, at least `least` of them.
  void TypeRepeatsDue(bool pointerOnKey, int least);
  void EndHold();
  // A message box or the system's menu or move loop holds a handler: the panel's keys take no clicks.
  bool OtherHandlerWaits() const { return running > 1 || systemLoop; }
  void SendCode();
  void SendCodePickFirst();
  void ToggleWordBuilding();
  void StrokeKeyDown(ControlId control, int button);
  void StrokeKeyUp(ControlId control, int button);
  void StrokeKeyCancelled(ControlId control);
  void TypeStroke(const StrokeKey& key);
  void CandidateFocus(ControlId control, bool gained);
  void PerformDefaultAction(ControlId control);

  PanelPlatform platform;
  KeyInjector injector;
  KeyboardLayoutList layoutList;
  std::u16string pendingCode;  // the code the code sender types; holds the last one typed
  // Per stroke key, the buttons pressed on it and not yet released: only such a release types.
  std::array<int, kStrokeKeys.size()> heldButtons{};
  PanelSettings settings;
  bool hotkeyHeld = false;  // the system gave the panel the key combination
  IdleFade fade;
  HoverState hover;
  bool restored = false;  // the remembered place or mode stands: start-up leaves the window there
  bool ended = false;
  int running = 0;  // handlers under way: more than one only while a message box or the move loop waits
  bool systemLoop = false;  // the system's window menu or move loop runs
  bool placing = false;     // start-up is placing the window
};

}  // namespace yg
