#include "platform/win32/hotkey_win.h"

namespace yg::win32 {

bool SystemHotkey::Register(KeyChord chord) {
  Unregister();
  // MOD_NOREPEAT: keys held down hide or show the panel once, not over and over.
  UINT modifiers = MOD_NOREPEAT;
  if (chord.modifiers & KeyChord::kCtrl) modifiers |= MOD_CONTROL;
  if (chord.modifiers & KeyChord::kAlt) modifiers |= MOD_ALT;
  if (chord.modifiers & KeyChord::kShift) modifiers |= MOD_SHIFT;
  // Fails with ERROR_HOTKEY_ALREADY_REGISTERED while another program holds the combination.
  held_ = RegisterHotKey(window, kId, modifiers, chord.vk) != FALSE;
  return held_;
}

void SystemHotkey::Unregister() {
  if (held_) UnregisterHotKey(window, kId);
  held_ = false;
}

}  // namespace yg::win32
