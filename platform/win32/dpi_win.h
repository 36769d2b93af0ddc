#pragma once

// A window's DPI and frame. Windows older than 10 (1607) lack the per-window DPI functions;
// there the system DPI stands in.

#include <windows.h>

#include "base/twips.h"

namespace yg::win32 {

UINT DpiOf(HWND window);
// The outer rectangle of a window of the given styles whose client area is `client`.
RECT OuterRect(RECT client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace yg::win32
