#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "panel/form1.h"
#include "panel/layout.h"
#include "ports/controls.h"
#include "ports/hotkey.h"
#include "ports/keyboard_layouts.h"
#include "ports/notification_icon.h"
#include "ports/panel_window.h"
#include "ports/settings_store.h"
#include "ports/shell.h"
#include "tests/fakes/call_log.h"
#include "tests/fakes/fake_desktop.h"
#include "tests/fakes/fake_key_sink.h"

namespace yg {
// Control names in test failures.
inline void PrintTo(const ControlId& control, std::ostream* os) { *os << ControlName(control); }
}  // namespace yg

namespace yg::testing {

// Raised by a fake told to fail an operation.
void FailIfAsked(const std::set<std::string>& failing, const std::string& operation);

// The controls of the layout table with the properties handlers change.
class FakeControls : public Controls {
 public:
  explicit FakeControls(CallLog& log);

  std::u16string Caption(ControlId control) const override;
  void SetCaption(ControlId control, std::u16string_view caption) override;
  void ShowPictureOf(ControlId picture, ControlId holder) override;
  void SetBackColor(ControlId control, Rgb color) override;
  void SetVisible(ControlId control, bool visible) override;
  void SetLeft(ControlId control, float twips) override;
  void SetHeight(ControlId control, float twips) override;
  void SetFocus(ControlId control) override;
  void AddListEntry(ControlId list, std::u16string_view entry) override;
  void ShowRestMark(ControlId control, double done) override;
  void HideRestMark() override;

  struct State {
    std::u16string caption;
    StrokePicture picture = StrokePicture::None;
    std::optional<Rgb> backColor;
    bool visible = true;
    float left = 0, top = 0, height = 0;
    std::vector<std::u16string> entries;
  };
  const State& Of(ControlId control) const;
  // Visible, and so is every frame around it.
  bool Shown(ControlId control) const;
  std::optional<ControlId> focus;
  // The key that shows how much of a rest has passed, and how much.
  struct RestMark {
    ControlId control;
    double done;
  };
  std::optional<RestMark> restMark;
  std::set<std::string> failing;  // operation names ("SetCaption") that raise an error

 private:
  State& Mutable(ControlId control, const char* operation);
  CallLog& log_;
  std::map<std::pair<Ctl, std::int16_t>, State> states_;
};

// Where a 5840 x 1800 panel starts on the fake window's screen, its twips kept as set: centred,
// 450 twips above the bottom (7680 - 5840 / 2, 11520 - 1800 - 450).
inline constexpr float kStartLeft = 4760, kStartTop = 9270;

// The panel window on a screen, with sizes held as whole pixels of `twipsPerPixel` like a real
// window. A change of key size changes the scale of its twips as the real window's does.
class FakePanelWindow : public PanelWindow {
 public:
  explicit FakePanelWindow(CallLog& log) : log_(log) {}

  void Show() override;
  float Left() const override;
  float Top() const override;
  float Width() const override;
  float Height() const override;
  void SetLeft(float twips) override;
  void SetTop(float twips) override;
  void SetWidth(float twips) override;
  void SetHeight(float twips) override;
  unsigned Scale() const override;
  void Move(float left, float top, unsigned scale) override;
  float ScreenWidth() const override;
  float ScreenHeight() const override;
  void SetTopmost(std::uint32_t positionFlags) override;
  std::uint32_t ExtendedStyle() const override;
  void SetExtendedStyle(std::uint32_t style) override;
  void ReleaseMouseCapture() override;
  void RunMoveLoop() override;
  void SetKeySize(int percent) override;
  void StartTimer(TimerId id, unsigned milliseconds) override;
  void StopTimer(TimerId id) override;
  std::uint64_t Milliseconds() const override { return clockMs; }
  PointerPlace Pointer() const override { return pointer; }
  KeyboardRepeat KeyRepeat() const override { return keyRepeat; }
  void CheckMenuItem(MenuItem item, bool checked) override;
  void EnableMenuItem(MenuItem item, bool enabled) override { menuEnabled[item] = enabled; }
  void ShowMessage(std::u16string_view text) override;
  void ReportFatalError(std::u16string_view text) override;
  void Hide() override;
  bool Visible() const override { return visible; }
  void Close() override;
  void SetOpacity(std::optional<std::uint8_t> alpha) override;
  bool PointerOver() const override { return pointerOver; }
  bool HighContrast() const override { return highContrast; }

  float screenWidth = 15360, screenHeight = 11520;  // 1024 x 768 pixels
  float twipsPerPixel = 15;  // 0: keep sizes as set
  float left = 0, top = 0, width = 5760, height = 1575;
  std::uint32_t exStyle = 0x00000188;  // WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE | WS_EX_TOPMOST
  std::uint32_t topmostFlags = 0;      // of the last SetTopmost
  bool visible = false;
  int keySize = 100;
  unsigned dpi = 96;  // the DPI of the monitor the window stands on
  // Monitors of different scalings: the DPI of the one that holds a rectangle of pixels. A window
  // moved or sized onto another then takes its scale, its corner on the same pixel, as the system's
  // WM_DPICHANGED has it do, and `dpiChanged` runs. Unset: every monitor has `dpi`.
  std::function<unsigned(const ScreenRect& pixels)> monitorDpi;
  std::function<void()> dpiChanged;
  std::map<TimerId, unsigned> timers;  // the running timers and their periods
  std::uint64_t clockMs = 0;  // the clock
  // Lets the clock run `ms` on, each running timer firing at `form` as its period comes round.
  void Pass(std::uint64_t ms, Form1& form);
  PointerPlace pointer;
  KeyboardRepeat keyRepeat;
  std::map<MenuItem, bool> menuChecks;  // the check marks the menu shows
  std::map<MenuItem, bool> menuEnabled;  // false: greyed
  std::vector<std::u16string> messages;
  std::vector<std::u16string> fatalErrors;
  std::optional<std::uint8_t> opacity;  // nothing: an ordinary opaque window
  bool pointerOver = false;
  bool highContrast = false;
  bool closed = false;
  std::set<std::string> failing;
  // Runs while a message box or the move loop holds the handler, as messages that arrive then
  // would.
  std::function<void()> whileBlocked;

 private:
  float Snap(float twips) const;
  void KeepCornersPixel(float factor);
  void TakeMonitorsScale();
  CallLog& log_;
  std::map<TimerId, std::uint64_t> due_;  // when each running timer fires next
};

class FakeKeyboardLayouts : public KeyboardLayouts {
 public:
  explicit FakeKeyboardLayouts(CallLog& log) : log_(log) {}

  struct Layout {
    LayoutHandle handle;
    int isInputMethod;         // what the system answers: 1 for an input method
    std::u16string description;
    bool descriptionFails = false;
    bool terminate = true;     // whether the description call writes the terminating zero
  };

  LayoutHandle Active() override;
  std::size_t List(std::span<LayoutHandle> handles) override;
  int IsInputMethod(LayoutHandle layout) override;
  std::size_t Description(LayoutHandle layout, std::span<char16_t> buffer) override;
  void Activate(LayoutHandle layout) override;
  std::optional<std::uint8_t> KeyTyping(char16_t c) override;
  std::uint32_t ScanCode(std::uint8_t vk) override;

  std::vector<Layout> installed;
  LayoutHandle active = 0;
  std::optional<std::uint8_t> graveKey = 192;
  // What the target's layout answers for a virtual key's scan code; 0 for the others.
  std::map<std::uint8_t, std::uint32_t> scanCodes;

 private:
  const Layout* Find(LayoutHandle layout) const;
  CallLog& log_;
};

class FakeShell : public Shell {
 public:
  explicit FakeShell(CallLog& log) : log_(log) {}

  bool AnotherCopyRunning() override;
  void TellRunningCopy() override;
  std::u16string ExecutableFolder() override;
  std::intptr_t Execute(std::u16string_view verb, std::u16string_view file, std::u16string_view parameters,
                        std::u16string_view directory, int showCommand) override;
  std::u16string ExecutablePath() override;
  ProgramVersion Version() override;

  bool anotherCopy = false;
  std::u16string folder = u"C:\\Program Files\\雁格输入法";
  std::u16string executable = u"C:\\Program Files\\雁格输入法\\ygpanel.exe";
  ProgramVersion version{u"雁格输入法按键面板", u"1.2.3", u"© 雁格"};
  std::intptr_t executeResult = 42;
  std::set<std::string> failing;

 private:
  CallLog& log_;
};

// The settings as a map per key. Writes and removals are logged when `log` is set and can be
// made to fail, as a read-only registry key would: then they change nothing.
class FakeSettingsStore : public SettingsStore {
 public:
  StoredValue Read(SettingsKey key, std::u16string_view name) override;
  void WriteNumber(SettingsKey key, std::u16string_view name, std::uint32_t value) override;
  void WriteText(SettingsKey key, std::u16string_view name, std::u16string_view value) override;
  void Remove(SettingsKey key, std::u16string_view name) override;

  // The value stored under the panel's own key, or a missing one.
  const StoredValue& Panel(std::u16string_view name) const;

  std::map<std::pair<SettingsKey, std::u16string>, StoredValue> values;
  bool failWrites = false;
  CallLog* log = nullptr;

 private:
  void Store(SettingsKey key, std::u16string_view name, StoredValue value);
};

// Holds the combination unless `refuse` says another program does.
class FakeHotkey : public GlobalHotkey {
 public:
  bool Register(KeyChord chord) override;
  void Unregister() override;

  std::optional<KeyChord> held;
  bool refuse = false;
};

class FakeNotificationIcon : public NotificationIcon {
 public:
  void Add(std::u16string_view tip) override;
  void Remove() override;

  std::optional<std::u16string> shown;  // the tip of the icon shown
  int adds = 0;
};

// Every fake, and a panel wired to them.
struct FakePlatform {
  FakePlatform();
  PanelPlatform View() {
    return {keys, controls, window, layouts, shell, displays, target, tip, settings, hotkey, icon};
  }

  CallLog log;
  FakeKeySink keys;
  FakeControls controls{log};
  FakePanelWindow window{log};
  FakeKeyboardLayouts layouts{log};
  FakeShell shell{log};
  FakeDisplays displays{window};
  FakeKeyTarget target;
  FakeTipWindow tip;
  FakeSettingsStore settings;
  FakeHotkey hotkey;
  FakeNotificationIcon icon;
};

}  // namespace yg::testing
