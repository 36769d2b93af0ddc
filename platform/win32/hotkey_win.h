#pragma once

#include <windows.h>

#include "ports/hotkey.h"

namespace yg::win32 {

// The key combination as a system hot key of the panel window: WM_HOTKEY with kId arrives
// whatever program has the keyboard, and that program keeps it.
class SystemHotkey final : public GlobalHotkey {
 public:
  static constexpr int kId = 1;

  SystemHotkey() = default;
  ~SystemHotkey() override { Unregister(); }
  SystemHotkey(const SystemHotkey&) = delete;
  SystemHotkey& operator=(const SystemHotkey&) = delete;

  bool Register(KeyChord chord) override;
  void Unregister() override;

  // The panel window; set once it exists.
  HWND window = nullptr;

 private:
  bool held_ = false;
};

}  // namespace yg::win32
