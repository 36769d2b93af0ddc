// 显示/隐藏快捷键, 通知区域图标 and 空闲时透明: what the key combination, the notification icon, a
// second start and the pointer do to the panel. Each is off until the user chooses it, and then
// nothing here runs.

#include "panel/form1.h"

namespace yg {

void Form1::StartedAgainWhileRunning() {
  // Only a hidden panel answers: a shown one stays exactly as it is.
  if (!platform.window.Visible()) ShowPanel();
}

void Form1::StartOutOfWay() {
  if (settings.hotkey) {
    hotkeyHeld = platform.hotkey.Register(kShowHideChord);
    // The wish stays stored: the program that holds the keys may be gone at the next start.
    if (!hotkeyHeld) ShowTipByPanel(kHotkeyRefusedTip, platform.tip, platform.displays);
  }
  if (settings.trayIcon) AddIcon();
  ConfigureFade();
}

void Form1::EndOutOfWay() {
  if (hotkeyHeld) platform.hotkey.Unregister();
  hotkeyHeld = false;
  if (settings.trayIcon) platform.icon.Remove();
}

void Form1::ToggleShown() {
  if (platform.window.Visible()) {
    HidePanel();
  } else {
    ShowPanel();
  }
}

void Form1::HidePanel() {
  platform.tip.Hide();
  platform.window.Hide();
  fade.Hidden();
}

// Where it was and in the mode it had, on top, and without taking the keyboard.
void Form1::ShowPanel() {
  MakeTopmost();
  fade.Shown();
}

void Form1::ToggleHotkey() {
  if (hotkeyHeld) {
    platform.hotkey.Unregister();
    hotkeyHeld = false;
  } else {
    hotkeyHeld = platform.hotkey.Register(kShowHideChord);
    // Refused: the item stays unchecked and the setting as it was.
    if (!hotkeyHeld) return ShowTipByPanel(kHotkeyRefusedTip, platform.tip, platform.displays);
  }
  settings.hotkey = hotkeyHeld;
  SaveFlag(platform.settings, setting::kHotkey, hotkeyHeld);
}

void Form1::ToggleTrayIcon() {
  settings.trayIcon = !settings.trayIcon;
  if (settings.trayIcon) {
    AddIcon();
  } else {
    platform.icon.Remove();
    // Switched off from the icon's own menu while the panel is hidden: with no key combination
    // either, nothing but a second start would bring it back.
    if (!hotkeyHeld && !platform.window.Visible()) ShowPanel();
  }
  SaveFlag(platform.settings, setting::kTrayIcon, settings.trayIcon);
}

void Form1::ChangeIdleOpacity(int percent) {
  if (percent == settings.idleOpacity) return;
  settings.idleOpacity = percent;
  ConfigureFade();
  SaveIdleOpacity(platform.settings, percent);
}

void Form1::AddIcon() {
  const std::u16string name = platform.shell.Version().description;
  platform.icon.Add(name.empty() ? kIconTipFallback : std::u16string_view(name));
}

void Form1::ConfigureFade() {
  // The theme is asked only while the setting is on.
  fade.Configure(settings.idleOpacity, settings.idleOpacity != kOpaque && platform.window.HighContrast());
}

}  // namespace yg
