#pragma once

// What the files of the Win32 panel share: its window classes, styles and frame allowance, and
// the error every failed system facility raises.

#include <windows.h>

#include <optional>
#include <string>

#include "base/control_id.h"
#include "panel/layout.h"
#include "platform/win32/scoped_win.h"
#include "ports/panel_window.h"

namespace yg::win32::panel {

inline constexpr wchar_t kPanelClass[] = L"YgKeyPanel";
inline constexpr wchar_t kFrameClass[] = L"YgFrame";
inline constexpr wchar_t kPictureClass[] = L"YgStrokeKey";
inline constexpr wchar_t kTitle[] = L"雁格输入法";

// A fixed-size tool window: thin fixed border and a small title bar with the close box, no
// minimise or maximise box. WS_EX_TOOLWINDOW also keeps it off the taskbar.
inline constexpr DWORD kPanelStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
inline constexpr DWORD kPanelExStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;

// The panel's sizes and places are those of a window whose side and bottom borders are 45 twips
// (3 pixels at 96 DPI) and whose title bar with top border takes 285 twips. The real frame
// differs with the Windows version, theme and scaling, so the client area is put where such a
// window has it and the real frame goes round it: every control fits at every setting.
inline constexpr double kFrameLeft = 45;
inline constexpr double kFrameRight = 45;
inline constexpr double kFrameTop = 285;
inline constexpr double kFrameBottom = 45;

// The panel and its frames, parents before children.
inline constexpr Ctl kContainers[] = {Ctl::Form1, Ctl::Frame1, Ctl::Frame4, Ctl::Frame6};

// The candidate keys, whose colour follows the focus, report it with BS_NOTIFY, and type on every
// press, the second of a double click too.
inline bool NotifiesFocus(const LayoutRow& row) { return row.control.name == Ctl::skb; }

// The command of one of the panel's items in the window menu. The system keeps the low four bits
// of a window-menu command for itself, and its own commands start at 0xF000.
UINT MenuCommandOf(MenuItem item);
// The panel's item a WM_SYSCOMMAND names, if it names one.
std::optional<MenuItem> SettingsItemOf(WPARAM command);
// The notification icon's menu, and the item of it a command names.
ScopedMenu MakeIconMenu();
std::optional<MenuItem> IconItemOf(UINT command);

// Posted by a second start of the program to the copy that runs (Form1::StartedAgain).
UINT StartedAgainMessage();

// FacilityFailed, naming the facility and the system's last error.
[[noreturn]] void Fail(const char* what);

}  // namespace yg::win32::panel
