#pragma once

// A window's DPI and frame. Windows older than 10 (1607) lack the per-window DPI functions;
// there the system DPI stands in.

#include <windows.h>

#include "base/twips.h"

namespace yg::win32 {

UINT DpiOf(HWND window);
// A system metric (SM_CXICON and the like) at the given DPI.
int MetricForDpi(int index, UINT dpi);
// The outer rectangle of a window of the given styles whose client area is `client`.
RECT OuterRect(RECT client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace yg::win32
