#pragma once

// Push buttons that click on every click, however fast the clicks come.

#include <windows.h>

namespace yg::win32 {

// A push button with BS_NOTIFY turns a quick second click into BN_DOUBLECLICKED and never
// presses, so no BN_CLICKED follows. Made to take the second press of a double click as the
// press it also is, the button clicks again on its release, like a button without BS_NOTIFY.
// Raises PanelError when the button cannot be changed.
void ClickOnEveryPress(HWND button);

}  // namespace yg::win32
