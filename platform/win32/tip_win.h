#pragma once

#include <windows.h>

#include <string>

#include "ports/tip_window.h"
#include "platform/win32/scoped_win.h"

namespace yg::win32 {

// The tip as a small topmost popup in the system's tooltip colours that never takes the
// activation: the user's program must keep the keyboard while it shows.
class Win32Tip final : public TipWindow {
 public:
  explicit Win32Tip(HINSTANCE instance) : instance_(instance) {}
  ~Win32Tip() override;
  Win32Tip(const Win32Tip&) = delete;
  Win32Tip& operator=(const Win32Tip&) = delete;

  Size Measure(std::u16string_view text, double maxWidth) override;
  void Show(std::u16string_view text, double left, double top, Size size) override;
  void Hide() override;

  // The panel window, whose scale the tip takes; set once it exists.
  HWND panel = nullptr;
  HWND Handle() const { return hwnd_; }

 private:
  static LRESULT CALLBACK TipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool Ready(UINT dpi);
  void Paint();
  RECT TextRect(const RECT& client) const;

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 0;
  ScopedFont font_;
  std::wstring text_;
};

}  // namespace yg::win32
