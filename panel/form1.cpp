#include "panel/form1.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "keys/code_sender.h"
#include "pads/editing_keys.h"
#include "panel/accessibility.h"
#include "pads/radical_keys.h"
#include "pads/stroke_pad.h"
#include "pads/word_keys.h"
#include "base/checked.h"
#include "base/errors.h"
#include "panel/help.h"
#include "panel/mode_switch.h"
#include "panel/placement.h"

namespace yg {

namespace {

// Start-up size, in twips of the outer window.
constexpr float kStartHeight = 1800;
constexpr float kStartWidth = 5840;

// SetWindowPos flags for re-asserting the topmost place: keep size (SWP_NOSIZE 0x01) and place
// (SWP_NOMOVE 0x02), never activate (SWP_NOACTIVATE 0x10) so the user's program keeps the
// keyboard, and show the window should it be hidden (SWP_SHOWWINDOW 0x40).
constexpr std::uint32_t kTopmostFlags = 0x53;
// WS_EX_NOACTIVATE: clicks on the panel leave the user's program active, so that the keys the
// buttons synthesise reach it.
constexpr std::uint32_t kNoActivateStyle = 0x08000000;

std::u16string Widen(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

}  // namespace

Form1::Form1(const PanelPlatform& p) : platform(p), injector(p.keys), fade(p.window) {}

template <class Handler>
void Form1::Guarded(std::string_view event, ControlId control, Handler&& handler) noexcept {
  if (ended) return;
  ++running;
  struct Leave {
    int& count;
    ~Leave() { --count; }
  } leave{running};
  std::string report;
  try {
    handler();
    return;
  } catch (const std::exception& e) {
    report = e.what();
  } catch (...) {
    report = "Unknown error";
  }
  ended = true;
  report += "\n\n(" + std::string(event);
  if (control.name != Ctl::Form1) report += " of " + ControlName(control);
  report += ")";
  try {
    platform.window.ReportFatalError(Widen(report));
  } catch (...) {
    // The report itself failed; the program still ends.
  }
}

bool Form1::Initialize() noexcept {
  bool another = false;
  Guarded("Initialize", Ctl::Form1, [&] {
    another = platform.shell.AnotherCopyRunning();
    if (another) {
      // It shows itself should it be hidden; this copy ends without a word.
      platform.shell.TellRunningCopy();
    } else {
      ReadStoredSettings();
    }
  });
  return !another && !ended;
}

void Form1::PlaceHidden() noexcept { Guarded("Load", Ctl::Form1, [&] { PlaceAtStart(); }); }

void Form1::Load() noexcept { Guarded("Load", Ctl::Form1, [&] { LoadPanel(); }); }

void Form1::Activate() noexcept {
  Guarded("Activate", Ctl::Form1, [&] { platform.controls.SetFocus(Ctl::Command2); });
}

void Form1::Paint() noexcept { Guarded("Paint", Ctl::Form1, [&] { MakeTopmost(); }); }

void Form1::MouseMove() noexcept { Guarded("MouseMove", Ctl::Form1, [&] { MakeTopmost(); }); }

void Form1::MouseDown(const MouseArgs& args) noexcept {
  Guarded("MouseDown", Ctl::Form1, [&] {
    platform.tip.Hide();
    PressedByHand(std::nullopt);
    if (args.button == MouseArgs::kLeft) BeginWindowDrag();
  });
}

void Form1::DblClick() noexcept {}

void Form1::Unload() noexcept {
  Guarded("Unload", Ctl::Form1, [&] {
    EndRest();
    EndHold();
    layoutList.RestoreEnglishLayout(platform.layouts);
    SavePlaceIfRemembered();
    EndOutOfWay();
  });
}

void Form1::NonClientMouseDown() noexcept {
  Guarded("NonClientMouseDown", Ctl::Form1, [&] {
    platform.tip.Hide();
    PressedByHand(std::nullopt);
  });
}

void Form1::DisplayChanged() noexcept {
  Guarded("DisplayChange", Ctl::Form1, [&] {
    platform.tip.Hide();
    // Start-up places the window itself, on a monitor, and a place it passes is no place to keep:
    // a change of scale on the way is no change of the displays.
    if (placing) return;
    if (KeepOnScreen()) SavePlaceIfRemembered();
  });
}

void Form1::MoveEnded() noexcept { Guarded("MoveEnded", Ctl::Form1, [&] { SavePlaceIfRemembered(); }); }

void Form1::MenuOpening() noexcept {
  Guarded("MenuOpening", Ctl::Form1, [&] {
    for (const MenuRow& row : kSettingsMenu) {
      if (row.mark != MenuMark::None) platform.window.CheckMenuItem(row.item, MenuChecked(row));
      // The size the panel has stays choosable, whatever the screen is now.
      if (row.group == MenuGroup::KeySize) {
        platform.window.EnableMenuItem(row.item, row.value == settings.keySize ||
                                                     KeySizeFits(platform.displays.PanelBounds(), settings.keySize,
                                                                 row.value, platform.displays.WorkAreas()));
      }
    }
  });
}

void Form1::MenuChosen(MenuItem item) noexcept { Guarded("MenuChosen", Ctl::Form1, [&] { Choose(item); }); }

void Form1::Timer(TimerId id) noexcept {
  Guarded("Timer", Ctl::Form1, [&] {
    switch (id) {
      case TimerId::IdleFade: return fade.Tick();
      case TimerId::Dwell: return RestTick();
      case TimerId::HoldRepeat: return HoldTick();
      default: return;  // a timer no setting runs now
    }
  });
}

void Form1::HotkeyPressed() noexcept {
  Guarded("HotkeyPressed", Ctl::Form1, [&] {
    if (hotkeyHeld) ToggleShown();
  });
}

void Form1::IconClicked() noexcept {
  Guarded("IconClicked", Ctl::Form1, [&] {
    if (settings.trayIcon) ToggleShown();
  });
}

void Form1::TaskbarCreated() noexcept {
  Guarded("TaskbarCreated", Ctl::Form1, [&] {
    if (settings.trayIcon) AddIcon();
  });
}

void Form1::StartedAgain() noexcept { Guarded("StartedAgain", Ctl::Form1, [&] { StartedAgainWhileRunning(); }); }

void Form1::PointerOver() noexcept { Guarded("PointerOver", Ctl::Form1, [&] { fade.PointerOver(); }); }

void Form1::ColoursChanged() noexcept { Guarded("ColoursChanged", Ctl::Form1, [&] { ConfigureFade(); }); }

void Form1::PointerMoved(const PointerPlace& place) noexcept {
  Guarded("PointerMoved", Ctl::Form1, [&] { FollowPointer(place); });
}

void Form1::Click(ControlId control) noexcept {
  Guarded("Click", control, [&] {
    // The release of a key that repeated while held: its repeats were its keys, but it is the
    // user's own press all the same, which no rest clicks again. The button may click before or
    // after it lets the mouse go.
    HoldReleased(control);
    const bool repeated = std::exchange(hover.repeatedRelease, std::nullopt) == control;
    PressedByHand(control);
    if (!repeated) OnClick(control);
  });
}

void Form1::MouseDown(ControlId control, const MouseArgs& args) noexcept {
  Guarded("MouseDown", control, [&] {
    // A stroke key's press takes the tip away; a push button's tip goes at its click, also on the
    // keys that repeat, whose presses are reported for their repeats alone.
    if (!RepeatsWhenHeld(control)) platform.tip.Hide();
    PressedByHand(control);
    HoldDown(control, args.button);
    StrokeKeyDown(control, args.button);
  });
}

void Form1::MouseUp(ControlId control, const MouseArgs& args) noexcept {
  Guarded("MouseUp", control, [&] {
    if (args.button == MouseArgs::kLeft) {
      HoldReleased(control);
      // Its click, if any, came before: a click later (Space on the key) is a click of its own.
      hover.repeatedRelease.reset();
    }
    StrokeKeyUp(control, args.button);
  });
}

void Form1::CaptureLost(ControlId control) noexcept {
  Guarded("CaptureLost", control, [&] {
    HoldReleased(control);
    StrokeKeyCancelled(control);
  });
}

void Form1::GotFocus(ControlId control) noexcept {
  Guarded("GotFocus", control, [&] { CandidateFocus(control, true); });
}

void Form1::LostFocus(ControlId control) noexcept {
  Guarded("LostFocus", control, [&] { CandidateFocus(control, false); });
}

void Form1::DefaultAction(ControlId control) noexcept {
  if (running > 0 || systemLoop) return;
  Guarded("DefaultAction", control, [&] { PerformDefaultAction(control); });
}

void Form1::ReadStoredSettings() {
  settings = ReadSettings(platform.settings);
  // Before the window is made, so that it is made at its size.
  if (settings.keySize != kDefaultKeySize) platform.window.SetKeySize(settings.keySize);
  UseScanCodes(settings.remoteDesktop);
}

void Form1::LoadPanel() {
  PanelWindow& w = platform.window;
  w.Show();
  PlaceAtStart();
  MakeTopmost();
  w.SetExtendedStyle(w.ExtendedStyle() | kNoActivateStyle);
  layoutList.ListKeyboardLayouts(platform.layouts, platform.controls);
  StartOutOfWay();
}

void Form1::PlaceAtStart() {
  // Placed once already, where the user had it: the window stays there.
  if (restored) return;
  PanelWindow& w = platform.window;
  placing = true;
  struct Placed {
    bool& placing;
    ~Placed() { placing = false; }
  } placed{placing};
  w.SetHeight(kStartHeight);
  w.SetWidth(kStartWidth);
  const unsigned scale = w.Scale();
  MoveToStartPlace();
  // Made on a monitor of another scaling, the window took the primary monitor's scale on its way
  // there, and the twips of the start place with it.
  if (w.Scale() != scale) MoveToStartPlace();
  restored = RestoreRemembered();
}

void Form1::MoveToStartPlace() {
  PanelWindow& w = platform.window;
  // The width is read back: the window may hold a whole number of pixels instead.
  const double width = w.Width();
  const float left = StoreSingle(CheckedDivide(w.ScreenWidth(), 2) - CheckedDivide(width, 2));
  const double height = w.Height();
  w.Move(left, StoreSingle(StartTop(w.ScreenHeight(), height, platform.displays.WorkAreas())), 0);
}

bool Form1::RestoreRemembered() {
  if (!settings.rememberPlace) return false;
  PanelWindow& w = platform.window;
  bool taken = false;
  // Compact as a click on "-" makes it from the start-up place; the remembered place, where it is
  // good, then puts it where it was.
  if (settings.compact && platform.controls.Caption(Ctl::Command2) == kExpandedCaption) {
    SwitchMode(platform.controls, w);
    taken = true;
  }
  if (settings.place) {
    // A monitor that is gone, or a smaller one, may leave the place off the screen. Whether it is
    // on one shows once the still hidden panel stands there: its outline on the screen, not its
    // twips, which allow for a frame wider than the system's and were stored rounded, while
    // keeping the panel on the screen may have put its outline flush with an edge. The place is
    // taken at the scale it was stored at, so that it names the same spot whatever the scaling
    // of the monitor the window was made on; there the window takes its monitor's.
    const float startLeft = w.Left(), startTop = w.Top();
    const unsigned startScale = w.Scale();
    w.Move(settings.place->left, settings.place->top, settings.place->dpi);
    if (WhollyInside(platform.displays.PanelBounds(), platform.displays.WorkAreas())) {
      taken = true;
    } else {
      w.Move(startLeft, startTop, startScale);
    }
  }
  return taken;
}

void Form1::SavePlaceIfRemembered() {
  if (!settings.rememberPlace) return;
  const PanelWindow& w = platform.window;
  SavePlace(platform.settings, {w.Left(), w.Top(), w.Scale()},
            platform.controls.Caption(Ctl::Command2) == kCompactCaption);
}

bool Form1::KeepOnScreen() {
  const auto shift = ShiftOnScreen(platform.displays.PanelBounds(), platform.displays.WorkAreas());
  if (!shift) return false;
  PanelWindow& w = platform.window;
  w.Move(StoreSingle(w.Left() + shift->dx), StoreSingle(w.Top() + shift->dy), 0);
  return true;
}

bool Form1::MenuChecked(const MenuRow& row) {
  if (row.group != MenuGroup::None) return row.value == GroupValue(row.group);
  switch (row.item) {
    case MenuItem::RememberPlace: return settings.rememberPlace;
    case MenuItem::RemoteDesktop: return settings.remoteDesktop;
    case MenuItem::HoldRepeat: return settings.holdRepeat;
    case MenuItem::StartAtSignIn: return WillStartAtSignIn(platform.shell.ExecutablePath());
    case MenuItem::Hotkey: return hotkeyHeld;
    case MenuItem::TrayIcon: return settings.trayIcon;
    default: return false;
  }
}

int Form1::GroupValue(MenuGroup group) const {
  switch (group) {
    case MenuGroup::KeySize: return settings.keySize;
    case MenuGroup::IdleOpacity: return settings.idleOpacity;
    case MenuGroup::Dwell: return settings.dwellMs;
    case MenuGroup::None: break;
  }
  throw PanelError(ErrorKind::SubscriptOutOfRange, "no menu group " + std::to_string(static_cast<int>(group)));
}

void Form1::ChooseInGroup(MenuGroup group, int value) {
  switch (group) {
    case MenuGroup::KeySize: return ChangeKeySize(value);
    case MenuGroup::IdleOpacity: return ChangeIdleOpacity(value);
    case MenuGroup::Dwell: return ChangeDwellTime(value);
    case MenuGroup::None: return;
  }
}

// Each setting takes effect for this run first; then it is stored, which may fail unnoticed.
void Form1::Choose(MenuItem item) {
  const MenuRow& row = MenuRowOf(item);
  if (row.group != MenuGroup::None) return ChooseInGroup(row.group, row.value);
  switch (item) {
    case MenuItem::RememberPlace: return RememberPlace(!settings.rememberPlace);
    case MenuItem::StartAtSignIn: return ToggleStartAtSignIn();
    case MenuItem::RemoteDesktop:
      settings.remoteDesktop = !settings.remoteDesktop;
      UseScanCodes(settings.remoteDesktop);
      SaveFlag(platform.settings, setting::kRemoteDesktop, settings.remoteDesktop);
      return;
    case MenuItem::HoldRepeat: return ToggleHoldRepeat();
    case MenuItem::About: return platform.window.ShowMessage(AboutText(platform.shell.Version()));
    case MenuItem::Hotkey: return ToggleHotkey();
    case MenuItem::TrayIcon: return ToggleTrayIcon();
    case MenuItem::ShowHide: return ToggleShown();
    case MenuItem::Exit: return platform.window.Close();
    default: return;
  }
}

void Form1::ChangeKeySize(int percent) {
  if (percent == settings.keySize) return;
  settings.keySize = percent;
  platform.window.SetKeySize(percent);
  // Grown, the panel may reach past the work area's edge.
  KeepOnScreen();
  SaveKeySize(platform.settings, percent);
  SavePlaceIfRemembered();
}

void Form1::RememberPlace(bool on) {
  settings.rememberPlace = on;
  SaveFlag(platform.settings, setting::kRememberPlace, on);
  if (on) {
    SavePlaceIfRemembered();
  } else {
    ForgetPlace(platform.settings);
  }
}

// What the system will run, read afresh: the installer, Task Manager or the user may have
// changed it. A value under the name earlier versions used starts the panel just as well.
bool Form1::WillStartAtSignIn(std::u16string_view executable) {
  SettingsStore& store = platform.settings;
  return std::ranges::any_of(setting::kSignInValues, [&](std::u16string_view name) {
    return StartsAtSignIn(store.Read(SettingsKey::SignIn, name), executable) &&
           !TurnedOffAtSignIn(store.Read(SettingsKey::SignInApproval, name));
  });
}

// Turned on, the system's record that the user once turned it off must go, or the value would
// still not run; turned off, the value goes and its record with it. Either way only the current
// name is left.
void Form1::ToggleStartAtSignIn() {
  const std::u16string executable = platform.shell.ExecutablePath();
  SettingsStore& store = platform.settings;
  const bool on = !WillStartAtSignIn(executable);
  for (const std::u16string_view name : setting::kSignInValues) {
    store.Remove(SettingsKey::SignIn, name);
    store.Remove(SettingsKey::SignInApproval, name);
  }
  if (on) store.WriteText(SettingsKey::SignIn, setting::kSignInValue, SignInCommand(executable));
}

void Form1::UseScanCodes(bool remoteDesktop) {
  if (remoteDesktop) {
    injector.UseScanCodes([this](std::uint8_t vk) { return platform.layouts.ScanCode(vk); });
  } else {
    injector.UseScanCodes({});
  }
}

void Form1::MakeTopmost() { platform.window.SetTopmost(kTopmostFlags); }

void Form1::BeginWindowDrag() {
  platform.window.ReleaseMouseCapture();
  platform.window.RunMoveLoop();
}

void Form1::OnClick(ControlId control) {
  // A tip belongs to the click before. It goes once this click's keys are out: taking it away
  // first would hold them up.
  const auto sent = SendClickKeys(control);
  platform.tip.Hide();
  if (sent) WarnIfLost(*sent);
}

std::optional<SentKeys> Form1::SendClickKeys(ControlId control) {
  if (control.name == Ctl::skb) {
    // The member's index is the key it types; the injector checks that it is one.
    KeySequence keys;
    keys.TapKey(control.index);
    injector.Send(keys);
    return SentKeys::Keys;
  }
  if (const CodeKey* row = FindRow(kRadicalKeys, control)) {
    pendingCode = row->code;
    SendCode();
    return SentKeys::Letters;
  }
  if (const CodeKey* row = FindRow(kCommonCharacterKeys, control)) {
    pendingCode = row->code;
    SendCodePickFirst();
    return SentKeys::Letters;
  }
  const FixedKeys* fixed = FindRow(kPunctuationKeys, control);
  if (!fixed) fixed = FindRow(kEditingKeys, control);
  if (fixed) {
    KeySequence keys;
    AppendStrokes(keys, *fixed);
    injector.Send(keys);
    const bool phrase = std::find(kPhraseKeys.begin(), kPhraseKeys.end(), control) != kPhraseKeys.end();
    return phrase ? SentKeys::Letters : SentKeys::Keys;
  }
  switch (control.name) {
    case Ctl::Command5: ToggleWordBuilding(); return SentKeys::Keys;
    case Ctl::Command2:
      SwitchMode(platform.controls, platform.window);
      // The key a rest was waiting on may be hidden or elsewhere now.
      EndRest();
      SavePlaceIfRemembered();
      return std::nullopt;
    case Ctl::Cmm2:
      // Before the help, which may be slow to come or answer with a message box.
      platform.tip.Hide();
      OpenHelp(platform.shell, platform.window);
      return std::nullopt;
    default: return std::nullopt;  // a control without a click of its own
  }
}

// After the keys went out: nothing here holds them up or changes them.
void Form1::WarnIfLost(SentKeys sent) {
  if (const auto warning = WarningFor(sent, platform.target)) {
    ShowTipByPanel(*warning, platform.tip, platform.displays);
  }
}

void Form1::SendCode() {
  KeySequence keys;
  AppendCode(keys, pendingCode);
  injector.Send(keys);
}

void Form1::SendCodePickFirst() {
  KeySequence keys;
  AppendCodePickFirst(keys, pendingCode);
  injector.Send(keys);
}

void Form1::ToggleWordBuilding() {
  Controls& c = platform.controls;
  c.SetCaption(Ctl::Command5, c.Caption(Ctl::Command5) == kWordBuildingOff ? kWordBuildingOn : kWordBuildingOff);
  // Ctrl with the key that types the grave accent on the user's layout (VK_OEM_3 on US).
  const auto grave = platform.layouts.KeyTyping(kWordBuildingChordCharacter);
  KeySequence keys;
  keys.PressKey(vk::kControl);
  keys.TapKey(grave ? static_cast<std::int16_t>(*grave) : vk::kGraveAccent);
  keys.ReleaseKey(vk::kControl);
  injector.Send(keys);
}

void Form1::StrokeKeyDown(ControlId control, int button) {
  if (const StrokeKey* key = FindRow(kStrokeKeys, control)) {
    heldButtons[key - kStrokeKeys.data()] |= button;
    platform.controls.ShowPictureOf(key->control, key->pressedHolder);
  }
}

void Form1::StrokeKeyUp(ControlId control, int button) {
  const StrokeKey* key = FindRow(kStrokeKeys, control);
  if (!key) return;
  int& held = heldButtons[key - kStrokeKeys.data()];
  // A release whose press was cancelled, or made elsewhere, completes no stroke.
  if ((held & button) == 0) return;
  held &= ~button;
  TypeStroke(*key);
}

void Form1::TypeStroke(const StrokeKey& key) {
  // The key looks released before its stroke goes out.
  platform.controls.ShowPictureOf(key.control, key.normalHolder);
  KeySequence keys;
  keys.TapKey(key.vk);
  injector.Send(keys);
  WarnIfLost(SentKeys::Keys);
}

void Form1::StrokeKeyCancelled(ControlId control) {
  const StrokeKey* key = FindRow(kStrokeKeys, control);
  if (!key) return;
  int& held = heldButtons[key - kStrokeKeys.data()];
  if (held == 0) return;  // every press already had its release
  held = 0;
  platform.controls.ShowPictureOf(key->control, key->normalHolder);
}

void Form1::CandidateFocus(ControlId control, bool gained) {
  if (control.name != Ctl::skb) return;
  if (std::find(kCandidateKeyIndexes.begin(), kCandidateKeyIndexes.end(), control.index) ==
      kCandidateKeyIndexes.end()) {
    throw PanelError(ErrorKind::SubscriptOutOfRange, "skb has no member " + std::to_string(control.index));
  }
  platform.controls.SetBackColor(control, gained ? kCandidateFocusColor : kCandidateUnfocusedColor);
}

void Form1::PerformDefaultAction(ControlId control) {
  switch (AccessibleFaceOf(control).action) {
    case AccessibleAction::Click: return OnClick(control);
    case AccessibleAction::StrokeRelease:
      // A completed press, whatever the mouse is doing.
      if (const StrokeKey* key = FindRow(kStrokeKeys, control)) TypeStroke(*key);
      return;
    case AccessibleAction::None: return;
  }
}

}  // namespace yg
